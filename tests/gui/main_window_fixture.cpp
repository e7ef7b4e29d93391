#include "main_window_fixture.h"

#include <QAbstractItemModel>
#include <QSettings>

#include "control_ids.h"
#include "format/byte_order.h"

#include <bit>
#include <cstring>

namespace kestra::testing {

namespace {

constexpr const char* documentation = "(10) \"Name\"\n(20) \"Size\"\n(30) \"Group\"\n"
                                      "(40) \"Group Weight\"\n";

void append32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    bytes.resize(bytes.size() + 4);
    writeBigEndian32(bytes.data() + bytes.size() - 4, value);
}

void append16(std::vector<std::uint8_t>& bytes, std::uint16_t value) {
    bytes.resize(bytes.size() + 2);
    writeBigEndian16(bytes.data() + bytes.size() - 2, value);
}

template <typename Answer> Answer takeAnswer(std::deque<Answer>& answers, Answer otherwise) {
    if (answers.empty())
        return otherwise;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace

std::vector<std::uint8_t> sampleFileBytes(std::size_t stringWidth,
                                          const std::vector<SampleItem>& items) {
    struct Descriptor {
        std::uint32_t id;
        std::uint16_t link1, link2, type;
    };
    const Descriptor descriptors[] = {
        {10, 0, 0, 1}, {20, 0, 0, 2}, {30, 1, 0, 3}, {40, 0, 7, 2}, {50, 0xFFFF, 0xFFFF, 3}};
    const auto itemLength = std::uint32_t(stringWidth + 16);
    std::vector<std::uint8_t> bytes;
    append32(bytes, std::uint32_t(items.size()));
    append32(bytes, 5);
    append32(bytes, 16 + 12 * 5);
    append32(bytes, itemLength);
    std::uint16_t offset = 0;
    for (const Descriptor& descriptor : descriptors) {
        append32(bytes, descriptor.id);
        append16(bytes, descriptor.link1);
        append16(bytes, descriptor.link2);
        append16(bytes, offset);
        append16(bytes, descriptor.type);
        offset = std::uint16_t(offset + (descriptor.type == 1 ? stringWidth : 4));
    }
    for (const SampleItem& item : items) {
        std::vector<std::uint8_t> name(stringWidth, 0);
        std::memcpy(name.data(), item.name.data(), std::min(item.name.size(), stringWidth));
        bytes.insert(bytes.end(), name.begin(), name.end());
        append32(bytes, std::bit_cast<std::uint32_t>(item.size));
        append32(bytes, item.group);
        append32(bytes, std::bit_cast<std::uint32_t>(item.groupWeight));
        append32(bytes, item.count);
    }
    bytes.resize((bytes.size() + 31) / 32 * 32, '@');
    return bytes;
}

std::vector<SampleItem> threeSampleItems() {
    return {{"Kestrel", 40, 7, 2.5f, 1}, {"Merlin", 31, 8, 3, 2}, {"Hobby", 12.5f, 9, 4, 3}};
}

MainWindowTest::MainWindowTest(bool withDocumentation)
    : previousFolder(std::filesystem::current_path()) {
    if (withDocumentation)
        writeFile(folder.file("InfoFileDocumentation.dat"),
                  {documentation, documentation + std::strlen(documentation)});
    std::filesystem::current_path(folder.path());
    // The recent files of this test alone.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(folder.file("settings")));

    // The recovery journals of this test alone.
    setenv("XDG_STATE_HOME", folder.file("state").c_str(), 1);

    UserDialogs dialogs;
    dialogs.askOpenPath = [this](QWidget*) {
        if (openAnswers.empty())
            return QString();
        QString answer = openAnswers.front();
        openAnswers.pop_front();
        return answer;
    };
    dialogs.askSavePath = [this](QWidget*, const QString& current) {
        savePathsOffered.push_back(current);
        if (saveAnswers.empty())
            return QString();
        QString answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    };
    dialogs.showError = [this](QWidget*, const QString& text, const QString& caption,
                               const QString& reason) {
        errors.emplace_back(text, caption);
        reasons.push_back(reason);
    };
    dialogs.askUnsavedChanges = [this](QWidget* owner, const QString& name) {
        EXPECT_EQ(owner, window.get());
        unsavedAsked.push_back(name);
        return takeAnswer(unsavedAnswers, UnsavedChoice::Discard);
    };
    dialogs.askSaveOverChanges = [this](QWidget*, const QString& name) {
        saveOverAsked.push_back(name);
        return takeAnswer(saveOverAnswers, false);
    };
    dialogs.askRecover = [this](QWidget*, const QString& name, std::size_t steps) {
        recoverAsked.emplace_back(name, steps);
        return takeAnswer(recoverAnswers, true);
    };
    dialogs.askKeepJournalAside = [this](QWidget*, const QString& name) {
        keepAsideAsked.push_back(name);
        return true;
    };
    window = std::make_unique<MainWindow>(std::move(dialogs));
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
}

MainWindowTest::~MainWindowTest() {
    window.reset();
    std::filesystem::current_path(previousFolder);
}

std::string MainWindowTest::openSample(const std::string& name) {
    const std::string path = folder.file(name);
    writeFile(path, sampleFileBytes(name.ends_with("info") ? 32 : 16, threeSampleItems()));
    openPath(path);
    return path;
}

void MainWindowTest::openPath(const std::string& path) {
    openAnswers.push_back(QString::fromStdString(path));
    window->dispatch(openCommandId);
}

ReportList* MainWindowTest::itemList() const {
    return control<ReportList>(itemListId);
}
ReportList* MainWindowTest::propertyList() const {
    return control<ReportList>(propertyListId);
}
QLineEdit* MainWindowTest::valueEdit() const {
    return control<QLineEdit>(valueEditId);
}

void doubleClickRowOf(ReportList* list, int row) {
    const QPoint centre = list->visualRect(list->model()->index(row, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, centre);
}

bool waitCursorShown() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

void MainWindowTest::clickRow(ReportList* list, int row) {
    const QPoint centre = list->visualRect(list->model()->index(row, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
}

void MainWindowTest::retype(const QString& text) const {
    QLineEdit* edit = valueEdit();
    QTest::keyClick(edit, Qt::Key_End);
    while (!edit->text().isEmpty()) {
        const auto before = edit->text().size();
        QTest::keyClick(edit, Qt::Key_Backspace);
        if (edit->text().size() == before)
            break;
    }
    QTest::keyClicks(edit, text);
}

QString MainWindowTest::cell(ReportList* list, int row, int column) const {
    return list->model()->index(row, column).data().toString();
}

} // namespace kestra::testing
