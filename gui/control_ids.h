#pragma once

// The numeric IDs the window dispatches on. Every control carries its ID as its objectName, so the
// window, the tests and outside tools address controls by number.
namespace kestra {

// Child controls of the main window.
inline constexpr int itemListId = 1472;
inline constexpr int propertyListId = 1473;
inline constexpr int copyItemButtonId = 1474;
inline constexpr int valueEditId = 1475;
inline constexpr int applyButtonId = 1476;
inline constexpr int typeLabelId = 1477;
inline constexpr int typeFieldId = 1480;
inline constexpr int deleteItemButtonId = 1483;
inline constexpr int newItemButtonId = 1484;
inline constexpr int statusBarId = 1485;

// Menu commands (menu 109).
inline constexpr int openCommandId = 32773;
inline constexpr int saveCommandId = 32778;
inline constexpr int saveAsCommandId = 32780;
inline constexpr int exitCommandId = 105;
inline constexpr int searchCommandId = 32779;
inline constexpr int aboutCommandId = 104;
inline constexpr int undoCommandId = 32781;
inline constexpr int redoCommandId = 32782;

// Input filters of the value edit field, one per value type.
inline constexpr int floatFilterId = 2472;
inline constexpr int integerFilterId = 2473;
inline constexpr int string32FilterId = 2474;
inline constexpr int string16FilterId = 2475;

// Controls of the Search dialog (template 105).
inline constexpr int searchTextEditId = 1001;
inline constexpr int searchButtonId = 1014;
inline constexpr int allPropertiesRadioId = 1015;
inline constexpr int certainTypeRadioId = 1016;
inline constexpr int singlePropertyRadioId = 1017;
inline constexpr int modeChoiceComboId = 1018;
inline constexpr int foundItemListId = 1020;
inline constexpr int foundPropertyListId = 1021;
inline constexpr int okButtonId = 1022;
// The Enter handler of the found-item list.
inline constexpr int foundItemEnterHandlerId = 2476;

// The OK button of the About box.
inline constexpr int aboutOkButtonId = 1;

} // namespace kestra
