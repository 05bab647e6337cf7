#include "DataStore.h"
