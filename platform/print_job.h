// A print job as the program drives it, the stand-in for the runtime's
// printer object: pages measured in device pixels, one fixed-pitch font
// chosen by its pixel height, text placed by the top left corner of its
// first character cell. Text is Windows-1252.
//
// EndDoc sends the job out. A job aborted, or destroyed before EndDoc, sends
// nothing: no partial printout comes out of a failure.
#pragma once

#include <string>

class TPrintJob {
public:
  virtual ~TPrintJob() = default;

  // The printable area of a page, device pixels.
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;
  // Device pixels per inch.
  virtual int PixelsPerInchX() const = 0;
  virtual int PixelsPerInchY() const = 0;

  // The font of what follows: the fixed-pitch face with Courier New's
  // metrics, PixelHeight device pixels high (at least 1), bold or plain.
  virtual void SetFont(int PixelHeight, bool Bold) = 0;
  // The advance of Text in the current font, device pixels.
  virtual int TextWidth(const std::string& Text) = 0;
  virtual void TextOut(int X, int Y, const std::string& Text) = 0;

  virtual void NewPage() = 0;
  virtual void EndDoc() = 0;
  virtual void Abort() = 0;
};
