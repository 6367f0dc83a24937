// How busy the machine's cores are at this moment, for deciding how much work to start side
// by side (a worker thread of the DXF import, renders of a sun study).
#pragma once

struct CCoreLoad {
    unsigned cores = 1;     // cores this process may run on
    unsigned runnable = 0;  // tasks running or waiting for a core, the caller among them; 0 if unknown
};

CCoreLoad ReadCoreLoad();

// Cores no other task wants now, counting the caller's own as free (it is about to wait for
// the work it starts): at least 1, at most the cores there are.
unsigned CoresForWork();
