#include "search_dialog.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "control_ids.h"
#include "control_naming.h"
#include "dialog_geometry.h"
#include "enter_key_filter.h"
#include "qt_text.h"
#include "report_list.h"
#include "wait_cursor.h"
#include "window_texts.h"

namespace kestra {

SearchDialog::SearchDialog(SearchDialogState& state, const InfoFile& document,
                           const DocumentationTable& documentation, QWidget* owner)
    : QDialog(owner), state_(state), document_(document), documentation_(documentation) {
    setWindowTitle(QString::fromUtf8(texts::searchDialogTitle));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedDialogSize(*this, 586, 282);
    createControls();
}

void SearchDialog::createControls() {
    auto place = [this](QWidget* widget, const DialogRect& rect) {
        widget->setGeometry(dialogUnitsToPixels(*this, rect));
    };
    // The dialog has no default button, so that Enter in the search text neither searches nor
    // closes; a focused push button is still pressed by Enter, as by Space.
    auto* enterPresses = new EnterKeyFilter(0, this);
    connect(enterPresses, &EnterKeyFilter::enterPressed, this, [](QObject* target) {
        auto* button = qobject_cast<QPushButton*>(target);
        if (button && button->isEnabled())
            button->click();
    });
    auto makeButton = [&](int id, const char* text, const DialogRect& rect) {
        auto* button = new QPushButton(QString::fromUtf8(text), this);
        named(button, id, text);
        place(button, rect);
        button->setAutoDefault(false);
        button->setEnabled(false);
        button->installEventFilter(enterPresses);
        return button;
    };
    auto makeLabel = [&](const char* text, const DialogRect& rect) {
        placeTextControl(*this, *new QLabel(QString::fromUtf8(text), this), rect);
    };

    // Template order, which is also the tab order.
    searchText_ = new QLineEdit(this);
    named(searchText_, searchTextEditId, texts::searchTextName);
    place(searchText_, {20, 16, 132, 14});
    connect(searchText_, &QLineEdit::textChanged, this, &SearchDialog::updateSearchButton);

    searchButton_ = makeButton(searchButtonId, texts::searchButtonText, {529, 16, 50, 14});
    connect(searchButton_, &QPushButton::clicked, this, &SearchDialog::search);

    modes_ = new QButtonGroup(this);
    const std::tuple<int, const char*, DialogRect> radios[] = {
        {allPropertiesRadioId, texts::searchAllPropertiesText, {20, 50, 58, 10}},
        {certainTypeRadioId, texts::searchCertainTypeText, {20, 62, 64, 16}},
        {singlePropertyRadioId, texts::searchSinglePropertyText, {20, 81, 65, 10}}};
    for (const auto& [id, text, rect] : radios) {
        auto* radio = new QRadioButton(QString::fromUtf8(text), this);
        named(radio, id, text);
        placeTextControl(*this, *radio, rect);
        modes_->addButton(radio, id);
    }
    connect(modes_, &QButtonGroup::idClicked, this, &SearchDialog::fillModeChoices);

    modeChoice_ = new QComboBox(this);
    named(modeChoice_, modeChoiceComboId, texts::searchModeChoiceName);
    // The template's height is that of the open list; the closed box takes its own height.
    QRect choiceRect = dialogUnitsToPixels(*this, {443, 50, 136, 85});
    choiceRect.setHeight(modeChoice_->sizeHint().height());
    modeChoice_->setGeometry(choiceRect);
    modeChoice_->view()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    modeChoice_->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
    modeChoice_->setEnabled(false);

    makeLabel(texts::searchChoiceLabelText, {363, 52, 69, 8});
    place(new QGroupBox(QString::fromUtf8(texts::searchResultsFrameText), this),
          {20, 97, 559, 178});

    foundItems_ =
        new ReportList(foundItemListId, QString::fromUtf8(texts::searchFoundItemListName),
                       makeRowListModel(state_.foundItemRows, itemListColumns, this), this);
    place(foundItems_, {20, 108, 266, 149});
    connect(foundItems_, &ReportList::rowDoubleClicked, this, &SearchDialog::openFoundRow);
    auto* enterHandler = new EnterKeyFilter(foundItemEnterHandlerId, foundItems_);
    foundItems_->installEventFilter(enterHandler);
    connect(enterHandler, &EnterKeyFilter::enterPressed, this,
            [this] { openFoundRow(foundItems_->selectionMark()); });

    foundProperties_ =
        new ReportList(foundPropertyListId, QString::fromUtf8(texts::searchFoundPropertyListName),
                       makeRowListModel(state_.foundPropertyRows, propertyListColumns, this), this);
    place(foundProperties_, {286, 108, 293, 149});

    okButton_ = makeButton(okButtonId, texts::okButton, {529, 257, 50, 14});
    connect(okButton_, &QPushButton::clicked, this, &SearchDialog::acceptOpenedItem);

    makeLabel(texts::searchLabelText, {20, 6, 89, 8});
    makeLabel(texts::searchModeLabelText, {20, 39, 65, 8});
    searchText_->setFocus();
}

std::optional<SearchMode> SearchDialog::checkedMode() const {
    switch (modes_->checkedId()) {
    case allPropertiesRadioId:
        return SearchMode::AllProperties;
    case certainTypeRadioId:
        return SearchMode::CertainType;
    case singlePropertyRadioId:
        return SearchMode::SingleProperty;
    default:
        return std::nullopt;
    }
}

void SearchDialog::updateSearchButton() {
    searchButton_->setEnabled(!searchText_->text().isEmpty() && modes_->checkedId() != -1);
}

void SearchDialog::fillModeChoices(int radioId) {
    modeChoice_->clear();
    const std::optional<SearchMode> mode = checkedMode();
    if (radioId == allPropertiesRadioId || !mode) {
        modeChoice_->setEnabled(false);
    } else {
        for (const std::u16string& entry : modeChoiceEntries(*mode, document_, documentation_))
            modeChoice_->addItem(toQString(entry));
        modeChoice_->setCurrentIndex(modeChoice_->count() > 0 ? 0 : -1);
        modeChoice_->setEnabled(true);
    }
    updateSearchButton();
}

void SearchDialog::search() {
    WaitCursor searching;
    const QString entry = modeChoice_->currentText();
    if (!runSearch(state_, document_, toU16View(searchText_->text()), checkedMode(),
                   toU16View(entry)))
        return;
    foundItems_->rows()->deleteAllRows();
    foundProperties_->rows()->deleteAllRows();
    foundItems_->rows()->insertCallbackRows(int(state_.foundItemRows.size()));
}

void SearchDialog::openFoundRow(int row) {
    if (row < 0)
        return;
    const std::optional<std::int32_t> item = openFoundItem(state_, document_, std::size_t(row));
    if (!item)
        return;
    openedItem_ = *item;
    foundProperties_->rows()->deleteAllRows();
    foundProperties_->rows()->insertCallbackRows(int(state_.foundPropertyRows.size()));
    okButton_->setEnabled(true);
}

void SearchDialog::acceptOpenedItem() {
    if (foundItems_->selectionMark() < 0)
        return;
    accepted_ = true;
    done(okButtonId);
}

} // namespace kestra
