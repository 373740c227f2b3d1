#pragma once
// The Find in Labels dialog's background work: searches run on a thread of their own with
// their own library connection, the latest query winning (a new query interrupts the one
// running), and Add Folder adds label files on a second thread with a cancel flag. Results
// and progress come back through callbacks that run on the worker thread; the dialog passes
// them to its own thread.

#include "library/library.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace pelmora {

class SearchWorker {
public:
    // `done` gets the query's generation, the hits (up to the query's limit) and a problem
    // text (the library could not be read), on the worker thread.
    using Done = std::function<void(std::uint64_t generation, std::vector<library::Hit> hits,
                                    std::string problem)>;
    SearchWorker(std::string libraryPath, Done done);
    ~SearchWorker();
    SearchWorker(const SearchWorker&) = delete;
    SearchWorker& operator=(const SearchWorker&) = delete;

    // Queues a query, replacing (and interrupting) any earlier one; returns its generation.
    std::uint64_t search(library::FindQuery query);
    // Blocks until no query is queued or running (tests, and closing).
    void waitIdle();

private:
    void run();

    std::string libraryPath_;
    Done done_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<library::FindQuery> pending_;
    std::uint64_t generation_ = 0;
    bool busy_ = false;
    bool stop_ = false;
    library::Library* running_ = nullptr; // the connection a search runs on, for interrupting
    std::thread thread_;
};

class FolderAdder {
public:
    struct Progress {
        std::size_t found = 0;
        std::size_t done = 0;
        std::size_t added = 0;
        std::size_t skipped = 0; // no label files, unreadable ones
        std::size_t failed = 0;
        std::string current;
        std::string problem; // the library could not be opened, or the last failure
        bool finished = false;
        bool cancelled = false;
    };
    using Report = std::function<void(const Progress&)>;

    FolderAdder(std::string libraryPath, std::string folder, Report report);
    ~FolderAdder(); // cancels and waits
    FolderAdder(const FolderAdder&) = delete;
    FolderAdder& operator=(const FolderAdder&) = delete;

    void cancel() { cancel_.store(true); }
    void wait();

private:
    std::atomic<bool> cancel_{false};
    std::thread thread_;
};

} // namespace pelmora
