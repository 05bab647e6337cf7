#include "UrlOpener.h"
