// Gives the in-process peer interface its meta-object (signals need moc).
#include "link/inprocesspeer.h"
