// A platform that records the opens and reads of files and can spoil reads
// and the local calendar, so that the fingerprint's handling of them can be tested
// on real files.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ForwardingPlatform.h"

namespace qm::test {

class RecordingPlatform : public ForwardingPlatform {
public:
    // Recorded.
    int opens = 0;
    std::vector<size_t> readCapacities;  // of every read, in order

    // Injected faults.
    int failingRead = 0;              // the read (counted from 1 per file) that fails; 0 none
    bool overstateBytesRead = false;  // a read claims more bytes than fit its buffer
    bool openWithoutFile = false;     // an open reports success but gives no file
    bool failCalendar = false;
    bool fixedCalendar = false;
    CalendarTime calendar;  // given by ToLocalCalendar when fixedCalendar

    uint32_t OpenForReading(const std::string& path, std::unique_ptr<IReadFile>& file) override {
        ++opens;
        if (openWithoutFile) {
            file.reset();
            return kErrorSuccess;
        }
        std::unique_ptr<IReadFile> real;
        const uint32_t result = Real().OpenForReading(path, real);
        if (result == kErrorSuccess) file = std::make_unique<RecordedFile>(*this, std::move(real));
        return result;
    }
    bool ToLocalCalendar(FileTime time, CalendarTime& local) override {
        if (failCalendar) return false;
        if (fixedCalendar) {
            local = calendar;
            return true;
        }
        return Real().ToLocalCalendar(time, local);
    }

private:
    class RecordedFile : public IReadFile {
    public:
        RecordedFile(RecordingPlatform& owner, std::unique_ptr<IReadFile> real)
            : m_owner(owner), m_real(std::move(real)) {}

        bool Read(void* buffer, size_t capacity, size_t& bytesRead) override {
            m_owner.readCapacities.push_back(capacity);
            ++m_reads;
            if (m_reads == m_owner.failingRead) {
                bytesRead = 0;
                return false;
            }
            if (!m_real->Read(buffer, capacity, bytesRead)) return false;
            if (m_owner.overstateBytesRead && bytesRead > 0) bytesRead = capacity * 4;
            return true;
        }

    private:
        RecordingPlatform& m_owner;
        std::unique_ptr<IReadFile> m_real;
        int m_reads = 0;
    };
};

}  // namespace qm::test
