#pragma once

// Common base of the objects a device context can select: bitmaps, fonts and brushes.
class CGdiObject {
  public:
    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    virtual ~CGdiObject() = default;
};

// A brush; only the stock brushes exist. A hollow brush paints nothing.
class CBrush : public CGdiObject {
  public:
    explicit CBrush(int stockId) : stockId_(stockId) {}
    int StockId() const { return stockId_; }

  private:
    int stockId_;
};
