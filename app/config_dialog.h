#pragma once
// The configuration dialog's logic: enter the accounts of the settings file
// one slot after the other. The boxes are the dialog's; nothing is kept here.
#include <filesystem>

#include "app/outcome.h"
#include "app/password_scramble.h"
#include "app/window.h"

class ConfigDialog {
public:
    ConfigDialog(std::filesystem::path settings, ConfigDialogView& view, Dialogs& dialogs,
                 FillerDraw draw = RandomFillerDraw)
        : settings_(std::move(settings)), view_(view), dialogs_(dialogs), draw_(std::move(draw)) {}

    // Empty boxes, focus in the server box, selector on "Nbre" + 1 (clamped).
    void Show();
    // Loads the selector's slot into the boxes (the password in clear).
    void SelectorClick();
    // "Enregistrer": refuses empty boxes and passwords the stored format
    // cannot hold (a message, nothing written); otherwise writes the slot,
    // moves the selector to the next slot and empties the boxes. A selector
    // typed out of range saves the slot it shows once clamped (0 to 10),
    // never a slot no selector can reach. A file that refuses the write:
    // the standard error box (earlier writes stay).
    Outcome Save();
    // "Annuler": closes the dialog, writes nothing.
    void Cancel();

private:
    void ClearBoxes();
    Outcome Refuse(std::string text);

    std::filesystem::path settings_;
    ConfigDialogView& view_;
    Dialogs& dialogs_;
    FillerDraw draw_;
};
