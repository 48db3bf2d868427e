// Child processes, temporary folders and whole-file reads on Windows.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

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

}  // namespace

ChildResult RunChild(const std::vector<std::string>& argv, const ChildOptions& options) {
    ChildResult result;
    if (argv.empty()) return result;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE inRead, inWrite, outRead, outWrite, errRead, errWrite;
    if (!CreatePipe(&inRead, &inWrite, &inherit, kPipeBytes)) return result;
    if (!CreatePipe(&outRead, &outWrite, &inherit, kPipeBytes)) return result;
    if (!CreatePipe(&errRead, &errWrite, &inherit, kPipeBytes)) return result;
    for (HANDLE ours : {inWrite, outRead, errRead})
        SetHandleInformation(ours, HANDLE_FLAG_INHERIT, 0);

    std::string commandLine;
    for (const std::string& a : argv) commandLine += (commandLine.empty() ? "" : " ") + Quote(a);
    std::string environment = EnvironmentBlock(options.environment);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process{};
    // A process group of its own, so that a Ctrl+Break reaches only the child.
    const BOOL started = CreateProcessA(
        nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NEW_PROCESS_GROUP,
        environment.data(),
        options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str(), &startup,
        &process);
    CloseHandle(inRead);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (!started) {
        for (HANDLE h : {inWrite, outRead, errRead}) CloseHandle(h);
        return result;
    }
    result.started = true;
    CloseHandle(process.hThread);

    DWORD written = 0;
    if (!options.input.empty()) {
        WriteFile(inWrite, options.input.data(), static_cast<DWORD>(options.input.size()), &written,
                  nullptr);
    }
    if (!options.keepInputOpen) {
        CloseHandle(inWrite);
        inWrite = nullptr;
    }

    const ULONGLONG start = GetTickCount64();
    bool signalled = false;
    for (;;) {
        Drain(outRead, &result.out);
        Drain(errRead, &result.err);
        if (WaitForSingleObject(process.hProcess, kPollMs) == WAIT_OBJECT_0) break;
        const ULONGLONG spent = GetTickCount64() - start;
        if (options.signalAfterMs && !signalled &&
            spent >= static_cast<ULONGLONG>(*options.signalAfterMs)) {
            signalled = true;
            GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, process.dwProcessId);
        }
        if (spent >= static_cast<ULONGLONG>(options.timeoutMs)) {
            result.timedOut = true;
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
            break;
        }
    }
    Drain(outRead, &result.out);
    Drain(errRead, &result.err);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exitStatus = static_cast<int>(code);
    CloseHandle(process.hProcess);
    for (HANDLE h : {inWrite, outRead, errRead}) {
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

TempDir::~TempDir() {
    if (path_.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string ReadFileBytes(const std::string& path, bool* exists) {
    std::ifstream in(path, std::ios::binary);
    if (exists != nullptr) *exists = static_cast<bool>(in);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace testsupport
