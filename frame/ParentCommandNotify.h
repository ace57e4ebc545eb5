// ParentCommandNotify: the view a parent-command handler receives over the
// CommandText that the dispatcher parsed from the parent's text. The CommandText
// lives for the duration of the handler call.
#pragma once

#include "CommandText.h"
#include "tarn_string.h"

class ParentCommandNotify {
public:
    explicit ParentCommandNotify(CommandText* command) : m_command(command) {}

    tarn_string key() const { return tarn_string(m_command->key); }
    tarn_string value() const { return tarn_string(m_command->value); }

private:
    CommandText* m_command;
};
