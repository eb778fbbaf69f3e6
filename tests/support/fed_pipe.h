// A pipe for a test to read from by its name, as an input given as
// /dev/stdin is: a thread of its own writes the bytes into it and closes it.
#pragma once

#include <signal.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <utility>

namespace geoplait::test {

class FedPipe {
public:
    explicit FedPipe(std::string bytes) : bytes_(std::move(bytes)) {
        // A reader that stops early closes the pipe: the writing then fails
        // instead of ending the test.
        signal(SIGPIPE, SIG_IGN);
        if (pipe(ends_) != 0) return;
        writer_ = std::thread([this] {
            size_t done = 0;
            while (done < bytes_.size()) {
                const ssize_t n = write(ends_[1], bytes_.data() + done, bytes_.size() - done);
                if (n <= 0) break;
                done += static_cast<size_t>(n);
            }
            close(ends_[1]);
        });
    }
    ~FedPipe() {
        if (ends_[0] >= 0) close(ends_[0]);
        if (writer_.joinable()) writer_.join();
    }
    FedPipe(const FedPipe&) = delete;
    FedPipe& operator=(const FedPipe&) = delete;

    // The name of the pipe's reading end.
    std::string Path() const { return "/dev/fd/" + std::to_string(ends_[0]); }

private:
    std::string bytes_;
    int ends_[2] = {-1, -1};
    std::thread writer_;
};

}  // namespace geoplait::test
