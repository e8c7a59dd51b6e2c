#include "core/Crc32.h"

#include <memory>

#include "core/ReadingLoop.h"
#include "platform/Platform.h"

namespace qm {

namespace {

// Files are read in pieces of this size, the way the release tool always has.
constexpr size_t kPieceSize = 4096;

// Each read of the file into a fresh register.
class CCrcSink : public IPieceSink {
public:
    explicit CCrcSink(const CCrc32& crc) : m_crc(crc) {}
    void Begin() override { m_register = 0xFFFFFFFFu; }
    unsigned char* Room(size_t& capacity) override {
        capacity = sizeof m_piece;
        return m_piece;
    }
    void Piece(unsigned char* room, size_t size) override {
        m_register = m_crc.Update(m_register, room, size);
    }
    uint32_t Register() const { return m_register; }

private:
    const CCrc32& m_crc;
    uint32_t m_register = 0xFFFFFFFFu;
    alignas(64) unsigned char m_piece[kPieceSize];
};

}  // namespace

void CCrc32::BuildTable() { m_bTableBuilt = true; }

void CCrc32::FreeTable() { m_bTableBuilt = false; }

uint32_t CCrc32::Update(uint32_t crc, const void* data, size_t length) const {
    if (data == nullptr) return crc;
    return m_pUpdate(crc, static_cast<const unsigned char*>(data), length);
}

bool CCrc32::UseKernel(crc32::Kernel kernel) {
    if (!crc32::IsAvailable(kernel)) return false;
    m_pUpdate = crc32::FunctionOf(kernel);
    return true;
}

uint32_t CCrc32::FileCrc32(const std::string& path, uint32_t& crc, bool* readWhole) {
    // After a failed open or outside a run the register keeps its initial
    // value, which the complement turns into 0.
    uint32_t registerValue = 0xFFFFFFFFu;
    uint32_t result = kErrorCrc;
    ReadingEnd end = ReadingEnd::OpenFailed;
    if (m_bTableBuilt) {
        CCrcSink sink(*this);
        ReadingFacts facts;
        end = ReadFilePieces(path, sink, facts);
        result = facts.openError;
        // A read that fails part way keeps the bytes read so far.
        if (end != ReadingEnd::OpenFailed) registerValue = sink.Register();
    }
    crc = ~registerValue;
    if (readWhole) *readWhole = end == ReadingEnd::Whole;
    return result;
}

}  // namespace qm
