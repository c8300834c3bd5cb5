#pragma once
// The errors of the graphics classes, as the class library raises them.

#include "platform/vcl/SysUtilsException.h"

// A picture whose data cannot be read (a broken BMP, JPEG or icon), or a file
// extension that names no known picture kind.
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

// An operation the graphic cannot do: a scan line out of range, an
// assignment between kinds that do not convert.
class EInvalidGraphicOperation : public Exception {
 public:
  using Exception::Exception;
};

// A bitmap larger than the class library will allocate.
class EOutOfResources : public Exception {
 public:
  using Exception::Exception;
};
