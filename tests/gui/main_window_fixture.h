#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "main_window.h"
#include "report_list.h"
#include "support/test_support.h"

// Failed checks show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace kestra::testing {

// One item of the test files: a name, a size, a group (linked integer), a group weight (linked
// float) and a count. Property IDs 10, 20, 30, 40 and 50; 50 is undocumented.
struct SampleItem {
    std::string name;
    float size = 0;
    std::uint32_t group = 0;
    float groupWeight = 0;
    std::uint32_t count = 0;
};

// The bytes the editor writes for these items: header, five descriptors, contiguous items, and
// "@" up to a multiple of 32. `stringWidth` is 32 for a name ending in "info", 16 otherwise.
std::vector<std::uint8_t> sampleFileBytes(std::size_t stringWidth,
                                          const std::vector<SampleItem>& items);
std::vector<SampleItem> threeSampleItems();

// A real double-click on row `row` of a list: press, double-click, release.
void doubleClickRowOf(ReportList* list, int row);

// Whether the program shows the wait cursor over its windows.
bool waitCursorShown();

// A main window in a temporary folder holding the documentation file, with file choosers and
// message boxes replaced: chosen paths come from queues, error boxes are recorded.
class MainWindowTest : public ::testing::Test {
protected:
    explicit MainWindowTest(bool withDocumentation = true);
    ~MainWindowTest() override;

    // Writes the three sample items as `name` in the folder and opens it through Open.
    std::string openSample(const std::string& name = "birds.table");
    void openPath(const std::string& path);

    template <typename Widget> Widget* control(int id) const {
        auto* widget = window->findChild<Widget*>(QString::number(id));
        EXPECT_NE(widget, nullptr) << "no control " << id;
        return widget;
    }
    ReportList* itemList() const;
    ReportList* propertyList() const;
    QLineEdit* valueEdit() const;
    QPushButton* button(int id) const { return control<QPushButton>(id); }

    static void doubleClickRow(ReportList* list, int row) { doubleClickRowOf(list, row); }
    static void clickRow(ReportList* list, int row);
    // Replaces the field's text by typing `text`, as a user would.
    void retype(const QString& text) const;
    QString cell(ReportList* list, int row, int column) const;

    TempDir folder;
    std::filesystem::path previousFolder;
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::vector<QString> savePathsOffered;
    std::vector<std::pair<QString, QString>> errors; // text, caption
    std::vector<QString> reasons;                    // the informative text of each
    // Answers to the unsaved-changes question (Discard when none is left) and the names it named.
    std::deque<UnsavedChoice> unsavedAnswers;
    std::vector<QString> unsavedAsked;
    // Answers to "changed by another program" (Cancel when none is left).
    std::deque<bool> saveOverAnswers;
    std::vector<QString> saveOverAsked;
    // Answers to the recovery question (Recover when none is left), the names and step counts
    // it named, and the names the changed-since question named (always kept aside).
    std::deque<bool> recoverAnswers;
    std::vector<std::pair<QString, std::size_t>> recoverAsked;
    std::vector<QString> keepAsideAsked;
    std::unique_ptr<MainWindow> window;
};

} // namespace kestra::testing
