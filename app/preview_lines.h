#pragma once
// The preview pane's lines for a whole message: sender, recipients, the
// part count, the body, then each text part's lines and each attachment's
// name. The main window's "Aperçu" and the Corbeille's show the same.
#include <string>
#include <vector>

#include "app/window.h"
#include "message/message.h"

// Appends to `pane`; `attachments` receives the attachment names in the
// pane's order, `unreadable` the names of the parts that could not be
// decoded whole (each marked "(pièce jointe illisible)" in the pane).
void AppendPreviewLines(const TIdMessage& message, PreviewPane& pane, std::vector<std::string>& attachments,
                        std::vector<std::string>* unreadable = nullptr);
