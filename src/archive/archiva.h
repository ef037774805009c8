#pragma once
// The whole public face of the ZIP reader.
#include "archive/entry.h"
#include "archive/errors.h"
#include "archive/file.h"
#include "archive/file_ops.h"
#include "archive/task.h"
#include "archive/zip.h"
