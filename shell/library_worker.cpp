#include "shell/library_worker.h"

#include <utility>

namespace pelmora {

SearchWorker::SearchWorker(std::string libraryPath, Done done)
    : libraryPath_(std::move(libraryPath)), done_(std::move(done)) {
    thread_ = std::thread([this] { run(); });
}

SearchWorker::~SearchWorker() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        pending_.reset();
        if (running_) {
            running_->interrupt();
        }
    }
    wake_.notify_all();
    thread_.join();
}

std::uint64_t SearchWorker::search(library::FindQuery query) {
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        pending_ = std::move(query);
        generation = ++generation_;
        if (running_) {
            running_->interrupt();
        }
    }
    wake_.notify_all();
    return generation;
}

void SearchWorker::waitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return stop_ || (!pending_ && !busy_); });
}

void SearchWorker::run() {
    library::Library lib;
    bool opened = false;
    for (;;) {
        library::FindQuery query;
        std::uint64_t generation = 0;
        {
            std::unique_lock lock(mutex_);
            busy_ = false;
            idle_.notify_all();
            wake_.wait(lock, [this] { return stop_ || pending_.has_value(); });
            if (stop_) {
                return;
            }
            query = std::move(*pending_);
            pending_.reset();
            generation = generation_;
            busy_ = true;
        }
        std::vector<library::Hit> hits;
        std::string problem;
        // The library is opened on the first search and again after it could not be: labels
        // added meanwhile (Add Folder) may have created it.
        if (!opened) {
            const library::OpenResult result = lib.open(libraryPath_, true);
            opened =
                result == library::OpenResult::Opened || result == library::OpenResult::ReadOnly;
            if (!opened) {
                problem = lib.problem();
            }
        }
        if (opened) {
            {
                std::lock_guard lock(mutex_);
                running_ = &lib;
            }
            try {
                hits = lib.find(query);
            } catch (const library::SqliteError& e) {
                if (e.code != SQLITE_INTERRUPT) {
                    problem = e.what();
                }
            }
            std::lock_guard lock(mutex_);
            running_ = nullptr;
            if (pending_ || stop_) {
                continue; // a newer query replaced this one
            }
        }
        done_(generation, std::move(hits), std::move(problem));
    }
}

FolderAdder::FolderAdder(std::string libraryPath, std::string folder, Report report) {
    thread_ = std::thread([this, libraryPath = std::move(libraryPath), folder = std::move(folder),
                           report = std::move(report)] {
        Progress progress;
        library::Library lib;
        const library::OpenResult result = lib.open(libraryPath);
        if (result != library::OpenResult::Opened) {
            progress.problem = result == library::OpenResult::ReadOnly
                                   ? "The library " + libraryPath + " is read-only."
                                   : lib.problem();
            progress.finished = true;
            report(progress);
            return;
        }
        const std::vector<std::string> files = library::findLabelFiles(folder, &cancel_);
        progress.found = files.size();
        for (const std::string& file : files) {
            if (cancel_.load()) {
                break;
            }
            progress.current = file;
            report(progress);
            const library::AddResult added = lib.addLabelFile(file);
            switch (added.status) {
            case library::AddStatus::Added:
            case library::AddStatus::Refreshed:
            case library::AddStatus::Unchanged:
                ++progress.added;
                break;
            case library::AddStatus::NotLabel:
            case library::AddStatus::Unreadable:
                ++progress.skipped;
                break;
            case library::AddStatus::Failed:
                ++progress.failed;
                progress.problem = file + ": " + added.problem;
                break;
            }
            ++progress.done;
        }
        progress.cancelled = cancel_.load();
        progress.finished = true;
        progress.current.clear();
        report(progress);
    });
}

FolderAdder::~FolderAdder() {
    cancel();
    wait();
}

void FolderAdder::wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

} // namespace pelmora
