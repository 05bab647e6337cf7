#include "WindowHelpers.h"
