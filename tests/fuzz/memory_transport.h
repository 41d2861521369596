#pragma once
// A transport for fuzz targets: serves the input in pieces of a chosen size,
// then behaves as a peer that closed; swallows what the client sends.
#include "net/io_handler_memory.h"

namespace fuzz {
using MemoryTransport = TIdIOHandlerMemory;
}  // namespace fuzz
