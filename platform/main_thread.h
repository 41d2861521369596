#pragma once
// The identity of the thread that started the process. It is recorded while
// static objects are built, before main() runs, so "am I on the main thread"
// is a plain comparison.
bool IsMainThread();
