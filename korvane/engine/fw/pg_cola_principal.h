// Hand-over from a worker thread to the main thread.
//
// The engine runs on the main thread and has no event loop of its own.
// A worker thread queues a call here; the main thread runs the queued
// calls, in order, whenever it pumps messages (ProcesaMensajesFw), which is
// what every transfer loop does while it waits. Equivalent to a queued call
// into the main thread's event loop.
#pragma once

#include <functional>

// Queues a call for the main thread (any thread).
void EncolaEnPrincipal(std::function<void()> llamada);
// Runs the calls queued so far (main thread only).
void AtiendeColaPrincipal();
// True on the thread that started the program.
bool EsHiloPrincipal();
// The queued calls, then the window's message pump.
void ProcesaMensajesFw();
