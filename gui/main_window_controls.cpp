#include "main_window_controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>

#include "control_ids.h"
#include "control_naming.h"
#include "report_list.h"
#include "window/window_layout.h"
#include "window/window_state.h"
#include "window_texts.h"

namespace kestra {

namespace {

QPushButton* makeButton(QWidget* client, int id, const char* text) {
    return named(new QPushButton(QString::fromUtf8(text), client), id, text);
}

// The type label and field are edit fields that stay disabled: greyed text the user cannot change.
QLineEdit* makeLabelField(QWidget* client, int id, const char* accessibleName,
                          Qt::Alignment alignment) {
    auto* field = named(new QLineEdit(client), id, accessibleName);
    field->setFrame(false);
    field->setAlignment(alignment);
    field->setEnabled(false);
    return field;
}

QRect toQRect(const PixelRect& rect) {
    return {rect.x, rect.y, std::max(rect.width, 0), std::max(rect.height, 0)};
}

} // namespace

MainWindowControls createMainWindowControls(QWidget* client, const WindowState& state) {
    MainWindowControls controls;
    controls.itemList =
        new ReportList(itemListId, QString::fromUtf8(texts::itemListName),
                       makeRowListModel(state.itemRows, itemListColumns, client), client);
    controls.propertyList =
        new ReportList(propertyListId, QString::fromUtf8(texts::propertyListName),
                       makeRowListModel(state.propertyRows, propertyListColumns, client), client);

    controls.copyItemButton = makeButton(client, copyItemButtonId, texts::copyItemButton);
    controls.applyButton = makeButton(client, applyButtonId, texts::applyButton);
    controls.applyButton->setEnabled(false);
    controls.deleteItemButton = makeButton(client, deleteItemButtonId, texts::deleteItemButton);
    controls.newItemButton = makeButton(client, newItemButtonId, texts::newItemButton);
    controls.newItemButton->setEnabled(false);

    controls.valueEdit = named(new QLineEdit(client), valueEditId, texts::valueEditName);
    controls.valueEdit->setEnabled(false);
    controls.typeLabel =
        makeLabelField(client, typeLabelId, texts::typeLabel, Qt::AlignRight | Qt::AlignVCenter);
    controls.typeLabel->setText(QString::fromUtf8(texts::typeLabel));
    controls.typeField =
        makeLabelField(client, typeFieldId, texts::typeFieldName, Qt::AlignLeft | Qt::AlignVCenter);

    controls.statusBar = named(new QStatusBar(client), statusBarId, texts::statusBarName);
    // The parts are placed by the layout rule, not by the status bar's own layout; the size grip
    // comes after them so that it stays on top in the corner.
    for (QLabel*& part : controls.statusParts) {
        part = new QLabel(controls.statusBar);
        part->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        part->setTextFormat(Qt::PlainText);
    }
    controls.statusBar->setSizeGripEnabled(true);
    return controls;
}

TextRoom textRoomOf(const MainWindowControls& controls) {
    // A line edit keeps two pixels either side of its text and one for the cursor; two more
    // allow for glyphs that reach past their advance.
    constexpr int lineEditTextMargins = 2 * 2 + 1 + 2;
    const QLineEdit* label = controls.typeLabel;
    TextRoom room;
    room.typeLabelWidth =
        label->fontMetrics().horizontalAdvance(label->text()) + lineEditTextMargins;
    room.fieldHeight =
        std::max({label->sizeHint().height(), controls.typeField->sizeHint().height(),
                  controls.valueEdit->sizeHint().height()});
    return room;
}

void placeMainWindowControls(const MainWindowControls& controls, const WindowLayout& layout) {
    controls.itemList->setGeometry(toQRect(layout.itemList));
    controls.propertyList->setGeometry(toQRect(layout.propertyList));
    controls.copyItemButton->setGeometry(toQRect(layout.copyItemButton));
    controls.deleteItemButton->setGeometry(toQRect(layout.deleteItemButton));
    controls.newItemButton->setGeometry(toQRect(layout.newItemButton));
    controls.typeLabel->setGeometry(toQRect(layout.typeLabel));
    controls.typeField->setGeometry(toQRect(layout.typeField));
    controls.valueEdit->setGeometry(toQRect(layout.valueEdit));
    controls.applyButton->setGeometry(toQRect(layout.applyButton));

    QRect bar = toQRect(layout.statusBar);
    const int readable = std::max(controls.statusBar->sizeHint().height(),
                                  controls.statusBar->fontMetrics().height() + 8);
    if (bar.height() < readable)
        bar.setTop(bar.bottom() - readable + 1);
    controls.statusBar->setGeometry(bar);

    int left = 0;
    for (std::size_t part = 0; part < controls.statusParts.size(); ++part) {
        const int right = layout.statusPartRightEdges[part];
        controls.statusParts[part]->setGeometry(left, 0, std::max(right - left, 0), bar.height());
        left = right;
    }
}

} // namespace kestra
