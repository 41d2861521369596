#pragma once
// The scrambled form of a stored password: 12 positions, 8 password
// characters rotated within the 75 characters "0" (48) to "z" (122), and 4
// random fillers from "#" (35) to "y" (121) at positions 1, 4, 5 and 9.
#include <functional>
#include <string>
#include <string_view>

// Draws an integer from 0 to 121.
using FillerDraw = std::function<int()>;
// A draw from a generator seeded once per process.
int RandomFillerDraw();

// Stored text for `password`: its first 8 characters, missing ones as code
// 0, the text ending before the first position holding a 0 (so lengths 2, 5,
// 6, 7, 9, 10, 11, 12 for 1 to 8 characters; empty for an empty password).
// Fillers are drawn in the order of their positions. Characters outside "0"
// to "z" are rotated all the same and do not load back (see CanStorePassword).
std::string ScramblePassword(std::string_view password, const FillerDraw& draw = RandomFillerDraw);

// The 8 codes behind a stored text; positions past its end count as 0, and
// a 0 stays 0. Always 8 characters, possibly including bytes 0.
std::string UnscramblePassword(std::string_view stored);
// The password as the account load gives it to the POP3 client: the 8 codes
// without the trailing characters of code 32 or less.
std::string ClientPassword(std::string_view stored);
// The password as the configuration dialog shows it: up to the first code 0.
std::string DialogPassword(std::string_view stored);

// Whether the stored format gives `password` back unchanged: at most 8
// characters, each from "0" to "z".
bool CanStorePassword(std::string_view password);
