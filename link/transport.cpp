// Gives the transport interface its meta-object (signals need moc).
#include "link/transport.h"
