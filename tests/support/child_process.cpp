// The parts of the child runner and the temporary folders that are the same
// on every platform.
#include "support/child_process.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/child_deadline.h"

namespace testsupport {

ChildDeadline::ChildDeadline(const ChildOptions& options)
    : start_(std::chrono::steady_clock::now()), options_(options) {}

long long ChildDeadline::ElapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

bool ChildDeadline::Expired() const {
    return ElapsedMs() > options_.timeoutMs;
}

bool ChildDeadline::SignalDue() {
    if (!options_.signalAfterMs || signalled_ || ElapsedMs() < *options_.signalAfterMs) {
        return false;
    }
    signalled_ = true;
    return true;
}

TempDir::~TempDir() {
    if (path_.empty()) return;
    std::error_code ec;
    // A test may have taken the write permission away.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
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
