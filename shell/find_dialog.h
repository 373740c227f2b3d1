#pragma once
// "Find in Labels": searches the label library as the user types and hands back the hit to
// open. The search runs on a worker thread (the latest query wins), so typing never waits for
// a large library. "Add Folder..." adds a folder of label files on another thread with a
// progress line and Cancel.

#include "library/library.h"
#include "platform/core/wintypes.h"

#include <QDialog>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace pelmora {

class SearchWorker;
class FolderAdder;

class FindDialog : public QDialog {
    Q_OBJECT
public:
    FindDialog(QWidget* owner, std::string libraryPath);
    ~FindDialog() override;

    // The hit chosen with Enter, a double-click or Open; set when the dialog is accepted.
    const std::optional<library::Hit>& chosenHit() const { return chosen_; }

    // Waits for the search in flight and shows its hits (tests drive the dialog this way).
    void waitForResults();
    // Starts adding the label files below `folder`, as Add Folder does once a folder is chosen.
    void addFolder(const std::string& folder);
    // Waits until Add Folder has finished and its last progress is shown.
    void waitForAdding();

    // Most hits shown at once.
    static constexpr std::size_t kShownHits = 2000;

    void accept() override;
    void reject() override;

private:
    void startSearch();
    void showHits(std::uint64_t generation, std::vector<library::Hit> hits,
                  const std::string& problem);
    void chooseFolder();
    void showProgress(const struct FolderProgressView& progress);
    void stopAdding();

    std::string libraryPath_;
    QLineEdit* edit_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* progress_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QPushButton* cancelAddButton_ = nullptr;
    QPushButton* openButton_ = nullptr;
    std::vector<library::Hit> hits_;
    std::optional<library::Hit> chosen_;
    std::uint64_t latest_ = 0;
    std::unique_ptr<SearchWorker> worker_;
    std::unique_ptr<FolderAdder> adder_;
};

// Runs the dialog at its remembered place ("FindWindow"); the hit to open, or nullopt.
std::optional<library::Hit> FindInLabels(QWidget* owner, const std::string& libraryPath,
                                         POINT& remembered);

} // namespace pelmora
