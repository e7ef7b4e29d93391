#include "about_box.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "control_ids.h"
#include "dialog_geometry.h"
#include "window_texts.h"

namespace kestra {

namespace {

QLabel* addLabel(QDialog* dialog, const char* text, const DialogRect& rect) {
    auto* label = new QLabel(QString::fromUtf8(text), dialog);
    label->setTextFormat(Qt::PlainText);
    placeTextControl(*dialog, *label, rect);
    return label;
}

// The template's right margin, beside its widest line and its OK button.
constexpr DialogRect rightMargin{0, 0, 171 - (42 + 122), 0};

} // namespace

AboutBox::AboutBox(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QString::fromUtf8(texts::aboutCaption));
    setFixedDialogSize(*this, 171, 70);

    const QRect iconRect = dialogUnitsToPixels(*this, {14, 14, 21, 20});
    auto* icon = new QLabel(this);
    icon->setPixmap(windowIcon().pixmap(iconRect.size()));
    icon->setGeometry(iconRect);

    // No mnemonic processing: the texts are shown exactly as written.
    QLabel* version = addLabel(this, texts::aboutVersion, {42, 14, 114, 8});
    version->setAccessibleName(texts::aboutVersion);
    QLabel* purpose = addLabel(this, texts::aboutPurpose, {42, 26, 114, 8});
    QLabel* names = addLabel(this, texts::aboutNames, {42, 37, 122, 8});

    auto* ok = new QPushButton(QString::fromUtf8(texts::okButton), this);
    ok->setObjectName(QString::number(aboutOkButtonId));
    ok->setGeometry(dialogUnitsToPixels(*this, {114, 49, 50, 14}));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    // A line the font makes wider than the template widens the box; OK keeps to its right edge.
    const QRect lines = version->geometry() | purpose->geometry() | names->geometry();
    const int growth =
        lines.right() + 1 + dialogUnitsToPixels(*this, rightMargin).width() - width();
    if (growth > 0) {
        setFixedWidth(width() + growth);
        ok->move(ok->x() + growth, ok->y());
    }
}

} // namespace kestra
