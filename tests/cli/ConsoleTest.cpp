// The console layer in this process: standard input read no further than
// the line asked for, and output that reaches a file or pipe as the same
// bytes and a Windows console as the letters of the ANSI code page. The
// standard handles are swapped for pipes (and a console) while a test runs.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "cli/Console.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace qm::cli {
namespace {

#ifdef _WIN32

// One standard handle replaced while the object lives.
class ScopedStandardHandle {
public:
    ScopedStandardHandle(DWORD which, HANDLE replacement)
        : m_which(which), m_saved(GetStdHandle(which)) {
        SetStdHandle(which, replacement);
    }
    ~ScopedStandardHandle() { SetStdHandle(m_which, m_saved); }
    ScopedStandardHandle(const ScopedStandardHandle&) = delete;
    ScopedStandardHandle& operator=(const ScopedStandardHandle&) = delete;

private:
    DWORD m_which;
    HANDLE m_saved;
};

// A pipe whose ends are closed with the object.
struct Pipe {
    Pipe() { CreatePipe(&read, &write, nullptr, 1 << 16); }
    ~Pipe() {
        CloseWriteEnd();
        CloseHandle(read);
    }
    void CloseWriteEnd() {
        if (write != nullptr) CloseHandle(write);
        write = nullptr;
    }
    std::string ReadAvailable() {
        std::string text;
        DWORD available = 0;
        if (PeekNamedPipe(read, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            text.resize(available);
            DWORD got = 0;
            ReadFile(read, &text[0], available, &got, nullptr);
            text.resize(got);
        }
        return text;
    }
    HANDLE read = nullptr;
    HANDLE write = nullptr;
};

// Standard input from a text that ends after it.
class ScopedInput {
public:
    explicit ScopedInput(const std::string& text) {
        DWORD written = 0;
        WriteFile(m_pipe.write, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        m_pipe.CloseWriteEnd();
        m_handle = std::make_unique<ScopedStandardHandle>(STD_INPUT_HANDLE, m_pipe.read);
    }

private:
    Pipe m_pipe;
    std::unique_ptr<ScopedStandardHandle> m_handle;
};

#else

// Standard input from a text that ends after it, while the object lives.
class ScopedInput {
public:
    explicit ScopedInput(const std::string& text) : m_saved(dup(STDIN_FILENO)) {
        int ends[2];
        if (pipe(ends) != 0) return;
        if (write(ends[1], text.data(), text.size()) < 0) ADD_FAILURE() << "pipe write";
        close(ends[1]);
        dup2(ends[0], STDIN_FILENO);
        close(ends[0]);
    }
    ~ScopedInput() {
        dup2(m_saved, STDIN_FILENO);
        close(m_saved);
    }
    ScopedInput(const ScopedInput&) = delete;
    ScopedInput& operator=(const ScopedInput&) = delete;

private:
    int m_saved;
};

#endif

// What follows the line stays in the stream for the next reader, and a line
// without an end in time costs its capacity and one byte, no more.
TEST(StandardInput, ALineIsReadNoFurtherThanItsEndOrItsCapacityAndOneByte) {
    ScopedInput input("first\r\n" + std::string(16, 's') + "\n" + std::string(40, 'x') + "\nlast");
    std::string line;
    std::string reason;
    EXPECT_EQ(ReadInputLine(line, 16, reason), InputLine::Read);
    EXPECT_EQ(line, "first");
    EXPECT_EQ(ReadInputLine(line, 16, reason), InputLine::Read);  // exactly the capacity
    EXPECT_EQ(line, std::string(16, 's'));
    EXPECT_EQ(ReadInputLine(line, 16, reason), InputLine::TooLong);
    EXPECT_EQ(line, "");
    EXPECT_EQ(ReadInputLine(line, 64, reason), InputLine::Read);
    EXPECT_EQ(line, std::string(40 - 17, 'x'));
    EXPECT_EQ(ReadInputLine(line, 64, reason), InputLine::Read);  // the end of input ends it
    EXPECT_EQ(line, "last");
    EXPECT_EQ(ReadInputLine(line, 64, reason), InputLine::Ended);
}

#ifdef _WIN32

// The bytes of the ANSI code page for "Käse über", or "" where it has no
// such letters.
std::string AnsiSample(std::wstring& wide) {
    wide = L"K\u00e4se \u00fcber";
    char text[32] = {};
    BOOL lost = FALSE;
    const int size =
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof text, nullptr, &lost);
    return size > 0 && !lost ? std::string(text) : std::string();
}

// A console shows the text's letters, however its own code page reads
// bytes; redirected output gets them in the ANSI code page, no CR added,
// each stream decided for itself.
TEST(ConsoleOutput, AConsoleShowsTheTextAndAPipeTakesItsBytes) {
    std::wstring wide;
    const std::string ansi = AnsiSample(wide);
    if (ansi.empty()) GTEST_SKIP() << "the ANSI code page has no umlauts";
    const std::string text =
        "K\xC3\xA4se \xC3\xBC"
        "ber";
    FreeConsole();
    ASSERT_TRUE(AllocConsole()) << GetLastError();
    const HANDLE console =
        CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(console, INVALID_HANDLE_VALUE);
    const COORD origin = {0, 0};
    DWORD count = 0;
    FillConsoleOutputCharacterW(console, L' ', 160, origin, &count);
    SetConsoleCursorPosition(console, origin);

    Pipe pipe;
    {
        ScopedStandardHandle output(STD_OUTPUT_HANDLE, console);
        ScopedStandardHandle error(STD_ERROR_HANDLE, pipe.write);
        EXPECT_TRUE(IsTerminal(StandardStream::Output));
        EXPECT_FALSE(IsTerminal(StandardStream::Error));
        std::string reason;
        EXPECT_TRUE(WriteStandard(StandardStream::Output, text, reason)) << reason;
        EXPECT_TRUE(WriteStandard(StandardStream::Error, text + "\n", reason)) << reason;
    }
    wchar_t shown[32] = {};
    ReadConsoleOutputCharacterW(console, shown, static_cast<DWORD>(wide.size()), origin, &count);
    EXPECT_EQ(std::wstring(shown, count), wide);
    EXPECT_EQ(pipe.ReadAvailable(), ansi + "\n");

    CloseHandle(console);
    FreeConsole();
}

#else

TEST(ConsoleOutput, RedirectedOutputTakesTheBytesAsGiven) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const int saved = dup(STDOUT_FILENO);
    dup2(ends[1], STDOUT_FILENO);
    const std::string text("K\xc3\xa4se\n\xe4\r\n", 10);
    std::string reason;
    const bool written = WriteStandard(StandardStream::Output, text, reason);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    close(ends[1]);
    EXPECT_TRUE(written) << reason;
    std::string got(64, '\0');
    const ssize_t size = read(ends[0], &got[0], got.size());
    close(ends[0]);
    EXPECT_EQ(got.substr(0, size > 0 ? static_cast<size_t>(size) : 0), text);
}

#endif

}  // namespace
}  // namespace qm::cli
