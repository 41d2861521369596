#pragma once
// The configuration dialog's logic: enter the accounts of the settings file
// one slot after the other. The boxes are the dialog's; nothing is kept here.
#include <filesystem>
#include <functional>

#include "app/account_security.h"
#include "app/outcome.h"
#include "app/password_scramble.h"
#include "app/window.h"

class ConfigDialog {
public:
    ConfigDialog(std::filesystem::path settings, ConfigDialogView& view, Dialogs& dialogs,
                 FillerDraw draw = RandomFillerDraw)
        : settings_(std::move(settings)), view_(view), dialogs_(dialogs), draw_(std::move(draw)) {}

    // Empty boxes (a new account: TLS on port 995, no fingerprint), focus in
    // the server box, selector on "Nbre" + 1 (clamped).
    void Show();
    // Loads the selector's slot into the boxes (the password in clear); a
    // slot without a server shows a new account's connection.
    void SelectorClick();
    // The security choice changed: a port that was the old choice's default
    // becomes the new one's.
    void SecurityChosen(AccountSecurity previous);
    // "Enregistrer": refuses empty boxes, a password longer than 255 bytes,
    // a port outside 1..65535 and a fingerprint that is not one (a message,
    // nothing written); otherwise writes the slot, moves the selector to the
    // next slot and empties the boxes. A selector typed out of range saves
    // the slot it shows once clamped (0 to 10), never a slot no selector can
    // reach. A file that refuses the write: the standard error box.
    Outcome Save();
    // "Annuler": closes the dialog, writes nothing.
    void Cancel();

    // Told the slot each successful save wrote.
    std::function<void(int slot)> saved;

private:
    void ClearBoxes();
    Outcome Refuse(std::string text);
    void ShowConnection(int port, AccountSecurity security, std::string_view fingerprint);

    std::filesystem::path settings_;
    ConfigDialogView& view_;
    Dialogs& dialogs_;
    FillerDraw draw_;
};
