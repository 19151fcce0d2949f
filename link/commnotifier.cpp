// Gives the notifier its meta-object.
#include "link/commnotifier.h"
