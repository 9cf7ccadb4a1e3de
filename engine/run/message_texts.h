// Every fixed text the engine shows or writes, in one place: the one message table. It is kept
// in one header per subsystem; every file includes this one.
#pragma once

#include "engine/run/message_texts_analyses.h"
#include "engine/run/message_texts_estimation.h"
#include "engine/run/message_texts_input.h"
#include "engine/run/message_texts_outputs.h"
#include "engine/run/message_texts_run.h"
