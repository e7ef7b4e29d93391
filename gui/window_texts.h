#pragma once

#include "kestra_version.h"

// Every text the window and its dialogs show, in one place.
namespace kestra::texts {

inline constexpr const char* appTitle = "Kestra";
inline constexpr const char* windowClassName = "KESTRA";
inline constexpr const char* openedTitleFormat = "%1 (Kestra)";
// While the document holds changes not yet saved.
inline constexpr const char* changedTitleFormat = "%1* (Kestra)";

inline constexpr const char* copyItemButton = "Copy Item";
inline constexpr const char* applyButton = "Apply";
inline constexpr const char* typeLabel = "Property Type: ";
inline constexpr const char* deleteItemButton = "Delete Item";
inline constexpr const char* newItemButton = "New Item";

inline constexpr const char* fileMenu = "&File";
inline constexpr const char* openItem = "&Open ...";
inline constexpr const char* saveItem = "&Save ...";
inline constexpr const char* saveAsItem = "S&ave As ...";
inline constexpr const char* exitItem = "E&xit";
inline constexpr const char* editMenu = "Edit";
inline constexpr const char* undoItem = "&Undo";
inline constexpr const char* redoItem = "&Redo";
inline constexpr const char* searchItem = "Search ...";
inline constexpr const char* openRecentMenu = "Open &Recent";
inline constexpr const char* clearRecentItem = "Clear";
inline constexpr const char* helpMenu = "&Help";
inline constexpr const char* aboutItem = "&About ...";

inline constexpr const char* fileFilters = "Info Files (*info *table telesa);;All (*)";

inline constexpr const char* errorCaption = "Error";
inline constexpr const char* upperErrorCaption = "ERROR";
inline constexpr const char* documentationMissing = "Could not open set documentation";
inline constexpr const char* openFailed = "File Did not Open Fully";
inline constexpr const char* saveFailed = "File Did not Save Fully";
inline constexpr const char* saveFolderMissing = "The folder %1 does not exist.";
inline constexpr const char* valueNotStored = "Value Could not be Stored";
inline constexpr const char* unsavedChanges = "Save the changes to %1?";
inline constexpr const char* unsavedChangesDetail =
    "The changes made since the file was opened or last saved are lost otherwise.";
inline constexpr const char* changedOnDisk =
    "%1 was changed by another program since it was opened.";
inline constexpr const char* changedOnDiskDetail =
    "Saving replaces the other program's changes with this document.";
inline constexpr const char* saveAnywayButton = "Save Anyway";
inline constexpr const char* recoverChanges = "Kestra ended without saving changes to %1.";
inline constexpr const char* recoverButton = "Recover";
inline constexpr const char* journalMismatch =
    "Kestra ended without saving changes to %1, but the file has changed since.";
inline constexpr const char* journalMismatchDetail =
    "The changes cannot be applied to it. Keep them aside in the recovery folder, or discard "
    "them?";
inline constexpr const char* keepAsideButton = "Keep Aside";

// The reasons beneath the error boxes' texts.
inline constexpr const char* reasonFormat = "%1: %2";
inline constexpr const char* documentationLookedIn = "Looked for it in:";
inline constexpr const char* valueEmpty = "The field is empty: a number is needed.";
inline constexpr const char* valueNotANumber = "\"%1\" is not a number.";
inline constexpr const char* valueOutOfRange = "\"%1\" is out of the range of %2.";

inline constexpr const char* aboutCaption = "About Kestra";
inline constexpr const char* aboutVersion = "Kestra, Version " KESTRA_VERSION;
inline constexpr const char* aboutPurpose = "An editor for info file tables.";
inline constexpr const char* aboutNames = "Names come from InfoFileDocumentation.dat.";
inline constexpr const char* okButton = "OK";

inline constexpr const char* openingCaption = "Opening";
inline constexpr const char* openingText = "Opening...";
inline constexpr const char* savingCaption = "Saving";
inline constexpr const char* savingText = "Saving...";

inline constexpr const char* searchDialogTitle = "Search";
inline constexpr const char* searchButtonText = "Search";
inline constexpr const char* searchAllPropertiesText = "All Properites";
inline constexpr const char* searchCertainTypeText = "Certain Type";
inline constexpr const char* searchSinglePropertyText = "Single Property";
inline constexpr const char* searchChoiceLabelText = "Select Type/Property";
inline constexpr const char* searchResultsFrameText = "Search Results";
inline constexpr const char* searchLabelText = "Search:";
inline constexpr const char* searchModeLabelText = "Select Search Type:";

// Accessible names of the controls that show no text of their own.
inline constexpr const char* itemListName = "ItemList";
inline constexpr const char* propertyListName = "PropertyList";
inline constexpr const char* valueEditName = "ValueEdit";
inline constexpr const char* typeFieldName = "TypeField";
inline constexpr const char* statusBarName = "StatusBar";
inline constexpr const char* searchTextName = "SearchTextEdit";
inline constexpr const char* searchModeChoiceName = "ModeChoiceCombo";
inline constexpr const char* searchFoundItemListName = "FoundItemList";
inline constexpr const char* searchFoundPropertyListName = "FoundPropertyList";

} // namespace kestra::texts
