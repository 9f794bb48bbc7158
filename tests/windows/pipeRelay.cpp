// Runs a Windows program with Windows pipes (CreatePipe) as its standard
// input and output, as an editor on Windows starts a language server, and
// relays its own standard streams to them: pipeRelay PROGRAM. Under Wine the
// relay's own streams may be Unix pipes; the program's are not.
#include <windows.h>

#include <string>
#include <thread>

namespace {

constexpr DWORD chunkSize = 64 * 1024;

// Copies until the input ends or the output goes; then closes the output,
// so that the reader behind it sees the end too.
void relay(HANDLE from, HANDLE to, bool closeAfter)
{
    char chunk[chunkSize];
    DWORD got = 0;
    while (::ReadFile(from, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        DWORD written = 0;
        for (DWORD done = 0; done < got; done += written)
            if (!::WriteFile(to, chunk + done, got - done, &written, nullptr))
                return;
    }
    if (closeAfter)
        ::CloseHandle(to);
}

} // namespace

int main()
{
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (arguments == nullptr || count != 2)
        return 2;
    std::wstring command = L"\"" + std::wstring(arguments[1]) + L"\" --stdio";

    SECURITY_ATTRIBUTES inherited { sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE };
    HANDLE serverInput = nullptr, toServer = nullptr, fromServer = nullptr, serverOutput = nullptr;
    if (!::CreatePipe(&serverInput, &toServer, &inherited, 0)
        || !::CreatePipe(&fromServer, &serverOutput, &inherited, 0))
        return 2;
    ::SetHandleInformation(toServer, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(fromServer, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = serverInput;
    startup.hStdOutput = serverOutput;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process {};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return 2;
    ::CloseHandle(serverInput);
    ::CloseHandle(serverOutput);

    std::thread(relay, ::GetStdHandle(STD_INPUT_HANDLE), toServer, true).detach();
    relay(fromServer, ::GetStdHandle(STD_OUTPUT_HANDLE), false);
    DWORD status = 2;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::GetExitCodeProcess(process.hProcess, &status);
    return int(status);
}
