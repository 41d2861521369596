#pragma once

enum class ListKind { Friends, Intruders };
