#pragma once

#include <cstdint>
#include <optional>

#include <QDialog>

#include "window/search_dialog_state.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kestra {

class ReportList;

// The modal Search dialog: a search text, a mode (and a type or property), the items found and the
// properties of the one opened. It reads the document and never changes it; "OK" hands back the
// item last opened. Its results and rows live in `state`, which outlives a run.
class SearchDialog final : public QDialog {
    Q_OBJECT
public:
    SearchDialog(SearchDialogState& state, const InfoFile& document,
                 const DocumentationTable& documentation, QWidget* owner);

    // The found item last opened in this run; -1 for none.
    std::int32_t openedItem() const { return openedItem_; }
    // True when "OK" ended the run.
    bool wasAccepted() const { return accepted_; }

private:
    void createControls();
    void updateSearchButton();
    void fillModeChoices(int radioId);
    void search();
    void openFoundRow(int row);
    void acceptOpenedItem();
    std::optional<SearchMode> checkedMode() const;

    SearchDialogState& state_;
    const InfoFile& document_;
    const DocumentationTable& documentation_;
    std::int32_t openedItem_ = -1;
    bool accepted_ = false;

    QLineEdit* searchText_ = nullptr;
    QPushButton* searchButton_ = nullptr;
    QButtonGroup* modes_ = nullptr;
    QComboBox* modeChoice_ = nullptr;
    ReportList* foundItems_ = nullptr;
    ReportList* foundProperties_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

} // namespace kestra
