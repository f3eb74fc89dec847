// The target fixture's item modes: one window holding a control of each kind that has items,
// and controls whose items misbehave.
//
// The truth of both modes: UTF-8 lines of tab-separated fields, each escaped as TruthFormat.h
// has it. Each control is a control line followed by its own lines:
//   control  <name> <kind> <handle> <columns> <count> <texts|notexts>
//   captions <caption 1> ... <caption columns>     list views only
//   hidden   <column> ...                          list views with columns of zero width
//   item     <depth> <cell 1> ... <cell columns>   each item, in the control's order
//   expect   <what> <value>                        hostile controls only
// name:    the fixture's name for the control, listed below.
// kind:    ListBox, ComboBox, ListView, TreeView, Tab, Header, StatusBar or Toolbar.
// handle:  the control's handle as the tool prints it.
// columns: a list view's column count; 1 for the other kinds.
// count:   how many items the control truly holds.
// notexts: an owner-drawn list box that keeps item data and no strings; it has no item lines.
// depth:   a tree item's depth below the top level, tree items in pre-order; 0 for other kinds.
// A header's items are its item texts, a status bar's its parts' texts, a toolbar's its buttons'
// texts, where a separator is an item whose text is empty.
//
// items [--rows N] [--tree-items N], window "Tessivane Fixture Items":
//   toolbar (Toolbar: 3 text buttons and a separator), listbox (ListBox), drawnlist (ListBox,
//   notexts), combo (ComboBox, drop-down list), tabs (Tab), header (Header), report (ListView,
//   report view, 5 columns, the fifth of zero width), icons (ListView, icon view, 2 columns), tree
//   (TreeView, some parents never expanded), status (StatusBar, 3 parts). Texts hold Greek, CJK, a
//   character outside the BMP (a surrogate pair), empty texts, 2,000-unit texts, tabs and
//   backslashes. Beside them, not in the truth, the window's only Static: an SS_ICON static made
//   with the resource ordinal kStaticIconOrdinal as its text, as a dialog template makes one.
//   --rows N: report holds N rows of 5 columns, cell "r<row> c<column>".
//   --tree-items N: tree holds N items, "item <index>", 10 children a parent, 4 levels deep.
// hostileitems --kind K, window "Tessivane Fixture Hostile Items": one control, named K:
//   lbliar     ListBox of 3 items; LB_GETCOUNT answers 2147483647 and LB_GETTEXTLEN of one item
//              answers 2147483647 too: "expect claimedCount 2147483647", "expect
//              claimedLengthItem <index>".
//   lvhang     ListView of 20 rows, on a thread of its own (with its own window), that sleeps
//              60 s whenever it is asked the text of a row from 10 on (LVM_GETITEMTEXT,
//              LVM_GETITEM): "expect answeredRows 10", "expect hangMs 60000".
//   treedelete TreeView that deletes an item's next sibling (with its subtree) each time it has
//              answered TVM_GETITEM for the item: the truth is the tree before any read;
//              "expect deletesOnRead nextSibling".
//   itemsexit  ListView of 50 rows whose program exits when asked a 21st item text
//              (LVM_GETITEMTEXT, LVM_GETITEM): "expect answeredTexts 20".
//   lvnotext   ListView (report view, owner-drawn) of 12 rows and 2 columns, captions and cells all
//              empty: its owner draws the rows, the list holds no text.
#pragma once

#include <string_view>

#include "tests/e2e/FixtureSupport.h"

// The ordinal that the items window's icon static is made with.
inline constexpr int kStaticIconOrdinal = 2;

[[nodiscard]] bool IsHostileItemsKind(std::wstring_view kind);

int RunItemsMode(const Fixture& fixture, const Options& options);
int RunHostileItemsMode(const Fixture& fixture, const Options& options);
