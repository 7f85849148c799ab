#pragma once
// Makes room on a page for what its entry boxes, combos, labels and check boxes have to show.
class QComboBox;
class QWidget;

namespace pagecommon {

// Grows every entry box under `root` to show the widest value its limits allow, every combo
// to show its longest entry in the closed box, and every label and check box to show its
// text in the font in use. What stood to the right of a grown control on its row moves along
// by the same amount, and a frame whose contents no longer fit grows with them (its own row
// moving in turn). A frame whose title is taller than the room above its contents moves them
// down and grows, pushing what stood below it. `root` itself keeps its size. Each run starts
// again from the places the page gave its controls, so a frame grown for a long value shrinks
// back once the value has gone; the routine may run whenever limits, entries or captions change.
void FitRows(QWidget* root);

// Fits the page now and again whenever it is shown or one of its frames asks for a new
// layout (an entry box whose limits changed, a combo whose entries changed).
void KeepRowsFitted(QWidget* page);

// Keeps the combo at the width it was given: only its drop-down list widens to show the
// longest entry, and the box's tool tip holds the whole of the chosen entry. The row fit
// leaves such a combo as it is. For lists whose entries can be much longer than the box.
void FitListOnly(QComboBox* combo);

} // namespace pagecommon
