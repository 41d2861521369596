#pragma once
// Winsock numbering of the platform's socket errors.

// The Winsock code for a POSIX errno value; a value without a counterpart
// comes back unchanged (its message then carries only the number).
int WinsockCodeFromErrno(int error);
// The French text of a Winsock code, empty for a code outside the table.
const char* SocketErrorText(int code);
