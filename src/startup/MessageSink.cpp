#include "MessageSink.h"
