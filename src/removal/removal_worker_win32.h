#pragma once
// The removal worker: the thread that carries out the uninstall log's records
// while the wizard shows its progress.

// Starts the worker; false when the thread could not be created.
bool StartRemovalWorker();
