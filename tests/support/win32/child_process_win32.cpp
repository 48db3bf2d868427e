// Child processes and temporary folders on Windows.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "support/child_deadline.h"
#include "support/child_process.h"

namespace testsupport {

namespace {

constexpr DWORD kPipeBytes = 1 << 16;
constexpr DWORD kPollMs = 5;

// One argument as the C runtime of the child splits the command line again.
std::string Quote(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"')
            quoted.append(backslashes * 2 + 1, '\\');
        else
            quoted.append(backslashes, '\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, '\\');
    quoted.push_back('"');
    return quoted;
}

// The environment block of the child: this process's, with the overrides.
std::string EnvironmentBlock(const std::map<std::string, std::string>& overrides) {
    std::map<std::string, std::string> all;
    if (char* block = GetEnvironmentStringsA()) {
        for (const char* p = block; *p != '\0'; p += std::strlen(p) + 1) {
            const std::string entry(p);
            const size_t eq = entry.find('=', 1);  // "=C:=C:\..." entries keep their first '='
            if (eq != std::string::npos) all[entry.substr(0, eq)] = entry.substr(eq + 1);
        }
        FreeEnvironmentStringsA(block);
    }
    for (const auto& [name, value] : overrides) {
        if (value.empty()) {
            all.erase(name);
        } else {
            all[name] = value;
        }
    }
    std::string result;
    for (const auto& [name, value] : all) {
        result += name + "=" + value;
        result.push_back('\0');
    }
    result.push_back('\0');
    return result;
}

// Reads what a pipe holds without waiting; false once it is closed.
bool Drain(HANDLE pipe, std::string* into) {
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) return false;
        if (available == 0) return true;
        char buffer[4096];
        DWORD got = 0;
        if (!ReadFile(pipe, buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr)) {
            return false;
        }
        into->append(buffer, got);
    }
}

// The child's three standard streams; the parent keeps inWrite, outRead and errRead.
struct ChildPipes {
    HANDLE inRead = nullptr, inWrite = nullptr;
    HANDLE outRead = nullptr, outWrite = nullptr;
    HANDLE errRead = nullptr, errWrite = nullptr;
};

bool OpenPipes(ChildPipes& pipes) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    if (!CreatePipe(&pipes.inRead, &pipes.inWrite, &inherit, kPipeBytes)) return false;
    if (!CreatePipe(&pipes.outRead, &pipes.outWrite, &inherit, kPipeBytes)) return false;
    if (!CreatePipe(&pipes.errRead, &pipes.errWrite, &inherit, kPipeBytes)) return false;
    for (HANDLE ours : {pipes.inWrite, pipes.outRead, pipes.errRead}) {
        SetHandleInformation(ours, HANDLE_FLAG_INHERIT, 0);
    }
    return true;
}

// Starts the program on the pipes, with the environment and folder of the
// options; the child's ends of the pipes are closed either way.
bool StartProcess(const std::vector<std::string>& argv, const ChildOptions& options,
                  const ChildPipes& pipes, PROCESS_INFORMATION& process) {
    std::string commandLine;
    for (const std::string& a : argv) commandLine += (commandLine.empty() ? "" : " ") + Quote(a);
    std::string environment = EnvironmentBlock(options.environment);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = pipes.inRead;
    startup.hStdOutput = pipes.outWrite;
    startup.hStdError = pipes.errWrite;
    // A process group of its own, so that a Ctrl+Break reaches only the child.
    const BOOL started = CreateProcessA(
        nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NEW_PROCESS_GROUP,
        environment.data(),
        options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str(), &startup,
        &process);
    CloseHandle(pipes.inRead);
    CloseHandle(pipes.outWrite);
    CloseHandle(pipes.errWrite);
    return started != FALSE;
}

// Collects the output until the child ends; past the deadline it is
// terminated. A due signal is a Ctrl+Break to the child's process group.
void WaitAndCollect(const PROCESS_INFORMATION& process, const ChildPipes& pipes,
                    const ChildOptions& options, ChildResult& result) {
    ChildDeadline deadline(options);
    for (;;) {
        Drain(pipes.outRead, &result.out);
        Drain(pipes.errRead, &result.err);
        if (WaitForSingleObject(process.hProcess, kPollMs) == WAIT_OBJECT_0) break;
        if (deadline.SignalDue()) GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, process.dwProcessId);
        if (deadline.Expired()) {
            result.timedOut = true;
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
            break;
        }
    }
    Drain(pipes.outRead, &result.out);
    Drain(pipes.errRead, &result.err);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exitStatus = static_cast<int>(code);
}

}  // namespace

ChildResult RunChild(const std::vector<std::string>& argv, const ChildOptions& options) {
    ChildResult result;
    if (argv.empty()) return result;
    ChildPipes pipes;
    if (!OpenPipes(pipes)) return result;
    PROCESS_INFORMATION process{};
    if (!StartProcess(argv, options, pipes, process)) {
        for (HANDLE h : {pipes.inWrite, pipes.outRead, pipes.errRead}) CloseHandle(h);
        return result;
    }
    result.started = true;
    CloseHandle(process.hThread);

    HANDLE inWrite = pipes.inWrite;
    if (!options.input.empty()) {
        DWORD written = 0;
        WriteFile(inWrite, options.input.data(), static_cast<DWORD>(options.input.size()), &written,
                  nullptr);
    }
    if (!options.keepInputOpen) {
        CloseHandle(inWrite);
        inWrite = nullptr;
    }
    WaitAndCollect(process, pipes, options, result);
    CloseHandle(process.hProcess);
    for (HANDLE h : {inWrite, pipes.outRead, pipes.errRead}) {
        if (h != nullptr) CloseHandle(h);
    }
    return result;
}

TempDir::TempDir() {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (unsigned attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        char name[48];
        std::snprintf(name, sizeof name, "wl-test-%lu-%llu-%u", GetCurrentProcessId(),
                      static_cast<unsigned long long>(GetTickCount64()), attempt);
        std::error_code ec;
        const std::filesystem::path candidate = base / name;
        if (std::filesystem::create_directory(candidate, ec)) path_ = candidate.string();
    }
}

}  // namespace testsupport
