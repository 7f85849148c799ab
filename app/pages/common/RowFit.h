#pragma once
// Makes room on a page for what its entry boxes and combos have to show.
class QWidget;

namespace pagecommon {

// Grows every entry box under `root` to show the widest value its limits allow and every
// combo to show its longest entry in the closed box. What stood to the right of a grown
// control on its row moves along by the same amount, and a frame whose contents no longer
// fit grows with them (its own row moving in turn); `root` itself keeps its size. Nothing
// ever shrinks, so the routine may run again whenever limits, entries or captions change.
void FitRows(QWidget* root);

// Fits the page now and again whenever it is shown or one of its frames asks for a new
// layout (an entry box whose limits changed, a combo whose entries changed).
void KeepRowsFitted(QWidget* page);

} // namespace pagecommon
