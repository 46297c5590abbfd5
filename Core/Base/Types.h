// Fixed-size integers and the result code of every engine operation: the platform's own.
#pragma once

#include "Platform/Base/Types.h"
