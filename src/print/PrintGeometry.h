#pragma once
// Where a page lands on the sheet: the printable area in hundredths of an inch from the device's
// measurements, and the largest size of the page's proportion that fits into it. Plain integers,
// so that the numbers can be checked exactly.

// The device's measurements, all in device pixels except the resolutions (device pixels per inch).
struct PrintDeviceCaps
{
    int LX = 0; // pixels per inch across
    int LY = 0; // pixels per inch down
    int PW = 0; // whole sheet width
    int PH = 0; // whole sheet height
    int OX = 0; // unprintable margin at the left
    int OY = 0; // unprintable margin at the top
};

// A size in hundredths of an inch.
struct PrintSize
{
    int width = 0;
    int height = 0;
    bool IsEmpty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const PrintSize&, const PrintSize&) = default;
};

// W = (PW - 2 OX) * 100 / LX and H = (PH - 2 OY) * 100 / LY, truncating: the right and bottom margins
// are taken to be those at the left and top. A device that reports no resolution, or margins that leave
// nothing, gives an empty area.
PrintSize PrintableArea(const PrintDeviceCaps& caps);

// The page of w x h square pixels fitted into the area W x H keeping w : h: D = W * h / w; D < H gives
// W x D, else H * w / h x H. Truncating divisions of 64-bit products, so large pages cannot overflow. A
// page or area with a side of 0 gives an empty size: such a page is not printed.
PrintSize FitPageToArea(const PrintSize& area, int w, int h);
