#include "app/ui/RecordsCommand.h"

RecordsCommand::RecordsCommand(const QString& text, stadix::RecordsChange change, Apply apply,
                               bool cellEdit, bool normalised)
    : QUndoCommand(text), change_(std::move(change)), apply_(std::move(apply)), cellEdit_(cellEdit),
      normalised_(normalised) {}

void RecordsCommand::undo() {
    apply_(change_, true);
}

void RecordsCommand::redo() {
    // The stack calls redo when the command is pushed: the change is made already.
    if (made_) {
        made_ = false;
        return;
    }
    apply_(change_, false);
}

int RecordsCommand::id() const {
    return cellEdit_ ? 1 : -1;
}

bool RecordsCommand::mergeWith(const QUndoCommand* other) {
    const auto* later = static_cast<const RecordsCommand*>(other);
    if (!later->normalised_ || !change_.Absorb(later->change_))
        return false;
    setObsolete(change_.Empty());
    return true;
}
