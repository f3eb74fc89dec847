// The target fixture's accessible mode: a window that draws its own controls and tells readers
// about them only through MSAA (IAccessible), as browsers, Qt and WPF programs do.
//
// accessible <truthFile> [--nodes N | --hostile K], window "Tessivane Fixture Accessible": its
// one child, of class TessivaneFixtureSelfDrawn, has no text and no child windows; it paints its
// nodes' names (one line a node, in pre-order, indented by depth, invisible ones left blank) and
// answers WM_GETOBJECT for OBJID_CLIENT with the tree's root object. Any thread of any process
// may ask; the objects answer on the fixture's one (UI) thread. The panel answers
// kLiveObjectsMessage with how many of its objects clients still hold, 0 once all are released.
//
// The truth: UTF-8 lines of tab-separated fields, each escaped as TruthFormat.h has it:
//   panel  <handle>                       the self-drawn window, as the tool prints it
//   mode   <default|nodes|K>
//   node   <depth> <name> <role text> <value> <state> <role> <object|child>
//                                         each node a correct reader shows, in pre-order
//   count  <node lines>
//   expect <what> <value>                 hostile modes only: what a read meets
// depth:     0 for the root, the panel's client object ("Self-drawn panel", ROLE_SYSTEM_CLIENT).
// role text: GetRoleTextW's words for the role, on the system the fixture runs on.
// value:     get_accValue's text; empty for a protected node (STATE_SYSTEM_PROTECTED), whatever
//            the node answers (a reader must not show a password).
// state:     the STATE_SYSTEM_ bits, hexadecimal with "0x".
// role:      the ROLE_SYSTEM_ number, decimal.
// object:    the node has an object of its own (VT_DISPATCH from get_accChild and among its
//            parent's children); child: it answers through its parent's object with its child
//            id (VT_I4, 1 for the first child) and get_accChild answers S_FALSE for it.
// A node met twice (a cycle) is listed once, where pre-order first meets it.
//
// Default tree: the root holds a push button named in Greek, a static text in CJK and the object
// "Details" (grouping), which holds the editable text "Amount" (value "42.50"), the check button
// "Paid" (checked), the static text "Hidden note" (invisible), the password field "PIN"
// (protected; get_accValue answers "1234") and the object "Lines" (list) with the list items
// "First line", "Second line" (selected) and "Third line".
// --nodes N (1 to 20000): N nodes "Node 1" (the root) to "Node N"; node k's parent is node
// (k - 2) / 10 + 1, so 10 children a parent. A node with children is an object (grouping), and
// so is every 7th other one (an object without children); the rest are push buttons, static
// texts and editable texts (value "Value k") by turns.
// --hostile K, the root and its children:
//   hang       "Answers", "Hangs when named" (its get_accName sleeps for ever on the UI thread,
//              so that nothing else is answered after it), "Never reached":
//              expect hangingCall get_accName, expect hangingNode Hangs when named.
//   liar       "One", "Two", "Three"; the root's accChildCount answers 1,000,000,000 and any
//              child id above 3 E_INVALIDARG: expect claimedChildren 1000000000,
//              expect trueChildren 3.
//   cycle      "Plain child", the object "Loops to parent" whose one child is the root object,
//              the object "Loops to itself" whose one child is itself (the same COM identity):
//              expect cycleToParent Loops to parent, expect cycleToItself Loops to itself.
//   deep       objects "Level 1" to "Level 100", each the only child of the one before:
//              expect depth 100.
//   hugename   "Before huge", a static text whose name is 10,485,760 units of the digits "0" to
//              "9" over and over, "After huge"; the node line gives the name's first 64 units:
//              expect hugeNameLength 10485760.
//   badvariant "Good child", a child the root's children (AccessibleChildren, through the root's
//              IEnumVARIANT) give as VT_R8 2.5 and any call with its child id 2 answers
//              E_INVALIDARG, "Odd variants" whose get_accRole answers VT_R8 and get_accState
//              VT_BSTR (its node line has role 0, no role text and state 0): expect childVariant
//              VT_R8, expect roleVariant VT_R8, expect stateVariant VT_BSTR, expect oddNode Odd
//              variants. accChildCount answers 3.
//   dies       "Child 1" to "Child 8"; the program exits while it answers the 5th get_accName
//              it is asked (of any node): expect exitsOnNameCall 5.
//   denied     three children; every call but the root's accChildCount (which answers 3)
//              answers E_ACCESSDENIED, so no node lines: expect rootChildren 3,
//              expect otherCalls E_ACCESSDENIED.
#pragma once

#include <string_view>

#include "tests/e2e/FixtureSupport.h"

// Sent to the panel: answers how many of its IAccessible objects clients still hold.
inline constexpr UINT kLiveObjectsMessage = WM_APP + 1;
inline constexpr int kMaxAccessibleNodes = 20000;

[[nodiscard]] bool IsAccessibleHostileKind(std::wstring_view kind);

int RunAccessibleMode(const Fixture& fixture, const Options& options);
