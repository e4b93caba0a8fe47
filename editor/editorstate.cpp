#include "editor/editorstate.h"
