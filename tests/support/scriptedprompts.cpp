#include "scriptedprompts.h"
