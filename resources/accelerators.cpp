#include "resources/accelerators.h"

#include "resources/command_ids.h"

#include <array>

namespace pelmora {

namespace {

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;

constexpr std::array<Accelerator, 20> kTable{{
    {Qt::Key_Plus, kNone, true, CMD_MORE_COLUMNS},
    {Qt::Key_Minus, kNone, true, CMD_FEWER_COLUMNS},
    {Qt::Key_A, kCtrl, false, CMD_SAVE_AS},
    {Qt::Key_N, kCtrl, false, CMD_NEW},
    {Qt::Key_O, kCtrl, false, CMD_OPEN},
    {Qt::Key_P, kCtrl, false, CMD_PRINT},
    {Qt::Key_S, kCtrl, false, CMD_SAVE},
    {Qt::Key_X, kCtrl, false, CMD_EXIT},
    {Qt::Key_Delete, kNone, false, CMD_DELETE_SELECTED},
    {Qt::Key_Return, kNone, false, CMD_ENTER},
    {Qt::Key_F1, kNone, false, CMD_HELP_CONTENTS},
    {Qt::Key_Home, kNone, false, CMD_PAGE_ONE},
    {Qt::Key_PageUp, kNone, false, CMD_PAGE_UP},
    {Qt::Key_PageDown, kNone, false, CMD_PAGE_DOWN},
    {Qt::Key_Left, kNone, false, CMD_MOVE_LEFT},
    {Qt::Key_Right, kNone, false, CMD_MOVE_RIGHT},
    {Qt::Key_Up, kNone, false, CMD_MOVE_UP},
    {Qt::Key_Down, kNone, false, CMD_MOVE_DOWN},
    {Qt::Key_Z, kNone, false, CMD_ZOOM},
    {Qt::Key_Z, kCtrl, false, CMD_ZOOM},
}};

constexpr Qt::KeyboardModifiers kCompared =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

} // namespace

std::span<const Accelerator> acceleratorTable() {
    return kTable;
}

int translateAccelerator(int key, Qt::KeyboardModifiers modifiers) {
    if (key == Qt::Key_Enter) {
        key = Qt::Key_Return;
    }
    const Qt::KeyboardModifiers pressed = modifiers & kCompared;
    for (const Accelerator& entry : kTable) {
        if (entry.key != key) {
            continue;
        }
        const Qt::KeyboardModifiers needed =
            entry.character ? (pressed & ~Qt::KeyboardModifiers(Qt::ShiftModifier)) : pressed;
        if (needed == entry.modifiers) {
            return entry.command;
        }
    }
    return 0;
}

QKeySequence keySequence(const Accelerator& accelerator) {
    return QKeySequence(QKeyCombination(accelerator.modifiers, accelerator.key));
}

} // namespace pelmora
