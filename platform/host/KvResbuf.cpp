#include "platform/host/KvResbuf.h"

#include <cstdarg>
#include <cstring>

#include "platform/base/KvEncoding.h"

KvResKind KvResKindOf(int restype) {
  switch (restype) {
    case RTSTR: case RTDXF0: return KvResKind::kString;
    case RTPOINT: case RT3DPOINT: return KvResKind::kPoint;
    case RTREAL: case RTANG: return KvResKind::kReal;
    case RTSHORT: return KvResKind::kShort;
    case RTLONG: return KvResKind::kLong;
    case RTENAME: case 5007 /* RTPICKS */: return KvResKind::kName;
    case RTNONE: return KvResKind::kNone;
    default: break;
  }
  int c = restype;
  if (c == -4 || c == -3) return KvResKind::kString;
  if (c == -1 || c == -2) return KvResKind::kName;
  if ((c >= 0 && c <= 9) || (c >= 100 && c <= 109) || (c >= 300 && c <= 369) || (c >= 390 && c <= 399) ||
      (c >= 410 && c <= 419) || (c >= 430 && c <= 439) || (c >= 470 && c <= 481) || c == 999 ||
      (c >= 1000 && c <= 1009))
    return KvResKind::kString;
  if ((c >= 10 && c <= 39) || (c >= 110 && c <= 119) || (c >= 210 && c <= 239) || (c >= 1010 && c <= 1013))
    return KvResKind::kPoint;
  if ((c >= 40 && c <= 59) || (c >= 140 && c <= 149) || (c >= 460 && c <= 469) || (c >= 1040 && c <= 1042))
    return KvResKind::kReal;
  if ((c >= 60 && c <= 79) || (c >= 170 && c <= 179) || (c >= 270 && c <= 299) || (c >= 370 && c <= 389) ||
      (c >= 400 && c <= 409) || c == 1070)
    return KvResKind::kShort;
  if ((c >= 90 && c <= 99) || (c >= 420 && c <= 429) || (c >= 440 && c <= 459) || c == 1071)
    return KvResKind::kLong;
  return KvResKind::kNone;
}

static char* CopyString(std::string_view text) {
  char* s = new char[text.size() + 1];
  std::memcpy(s, text.data(), text.size());
  s[text.size()] = '\0';
  return s;
}

resbuf* acutNewRb(int restype) {
  resbuf* rb = new resbuf();
  rb->restype = restype;
  if (KvResKindOf(restype) == KvResKind::kString) rb->resval.rstring = CopyString("");
  return rb;
}

int acutRelRb(resbuf* rb) {
  while (rb) {
    resbuf* next = rb->rbnext;
    if (KvResKindOf(rb->restype) == KvResKind::kString) delete[] rb->resval.rstring;
    delete rb;
    rb = next;
  }
  return RTNORM;
}

bool KvRbSetString(resbuf* rb, std::string_view text) {
  if (!rb || KvResKindOf(rb->restype) != KvResKind::kString) return false;
  delete[] rb->resval.rstring;
  rb->resval.rstring = CopyString(text);
  return true;
}

std::string KvRbString(const resbuf* rb) {
  if (!rb || KvResKindOf(rb->restype) != KvResKind::kString || !rb->resval.rstring) return {};
  return rb->resval.rstring;
}

int KvRbLength(const resbuf* rb) {
  int n = 0;
  for (; rb; rb = rb->rbnext) ++n;
  return n;
}

resbuf* KvRbCopy(const resbuf* rb) {
  resbuf* head = nullptr;
  resbuf** tail = &head;
  for (; rb; rb = rb->rbnext) {
    resbuf* c = new resbuf();
    c->restype = rb->restype;
    c->resval = rb->resval;
    if (KvResKindOf(rb->restype) == KvResKind::kString)
      c->resval.rstring = CopyString(rb->resval.rstring ? rb->resval.rstring : "");
    *tail = c;
    tail = &c->rbnext;
  }
  return head;
}

resbuf* acutBuildList(int rtype, ...) {
  va_list ap;
  va_start(ap, rtype);
  resbuf* head = nullptr;
  resbuf** tail = &head;
  int type = rtype;
  bool ok = true;
  while (type != RTNONE && type != 0) {
    KvResKind kind = KvResKindOf(type);
    resbuf* rb = nullptr;
    switch (kind) {
      case KvResKind::kString: {
        const char* s = va_arg(ap, const char*);
        rb = acutNewRb(type == RTDXF0 ? 0 : type);
        KvRbSetString(rb, s ? s : "");
        break;
      }
      case KvResKind::kPoint: {
        const double* p = va_arg(ap, const double*);
        rb = acutNewRb(type);
        if (p) {
          rb->resval.rpoint[0] = p[0];
          rb->resval.rpoint[1] = p[1];
          rb->resval.rpoint[2] = type == RTPOINT ? 0.0 : p[2];
        }
        break;
      }
      case KvResKind::kReal:
        rb = acutNewRb(type);
        rb->resval.rreal = va_arg(ap, double);
        break;
      case KvResKind::kShort:
        rb = acutNewRb(type);
        rb->resval.rint = static_cast<short>(va_arg(ap, int));
        break;
      case KvResKind::kLong:
        rb = acutNewRb(type);
        rb->resval.rlong = static_cast<std::int32_t>(va_arg(ap, long));
        break;
      case KvResKind::kName: {
        const std::int64_t* n = va_arg(ap, const std::int64_t*);
        rb = acutNewRb(type);
        if (n) {
          rb->resval.rlname[0] = n[0];
          rb->resval.rlname[1] = n[1];
        }
        break;
      }
      case KvResKind::kNone:
        ok = false;
        break;
    }
    if (!ok) break;
    *tail = rb;
    tail = &rb->rbnext;
    type = va_arg(ap, int);
  }
  va_end(ap);
  if (!ok) {
    acutRelRb(head);
    return nullptr;
  }
  return head;
}

resbuf* KvXDataToRb(const std::vector<tav::cad::DxfXData>& chains) {
  resbuf* head = nullptr;
  resbuf** tail = &head;
  auto append = [&](resbuf* rb) {
    *tail = rb;
    tail = &rb->rbnext;
  };
  for (const auto& chain : chains) {
    resbuf* app = acutNewRb(1001);
    KvRbSetString(app, chain.app);
    append(app);
    for (const auto& item : chain.items) {
      resbuf* rb = acutNewRb(item.code);
      switch (KvResKindOf(item.code)) {
        case KvResKind::kString: KvRbSetString(rb, item.text); break;
        case KvResKind::kPoint:
          rb->resval.rpoint[0] = item.point.x;
          rb->resval.rpoint[1] = item.point.y;
          rb->resval.rpoint[2] = item.point.z;
          break;
        case KvResKind::kReal: rb->resval.rreal = item.real; break;
        case KvResKind::kShort: rb->resval.rint = static_cast<short>(item.integer); break;
        case KvResKind::kLong: rb->resval.rlong = static_cast<std::int32_t>(item.integer); break;
        default: break;
      }
      append(rb);
    }
  }
  return head;
}

bool KvRbToXData(const resbuf* rb, std::vector<tav::cad::DxfXData>& chains, std::string* error) {
  chains.clear();
  auto fail = [&](std::string text) {
    if (error) *error = std::move(text);
    chains.clear();
    return false;
  };
  if (!rb) return fail("empty xdata list");
  for (; rb; rb = rb->rbnext) {
    int code = rb->restype;
    if (code == -3) continue;  // the xdata marker of entity lists
    if (code == 1001) {
      std::string app = KvRbString(rb);
      if (app.empty()) return fail("1001 item without an application name");
      chains.push_back({app, {}});
      continue;
    }
    if (chains.empty()) return fail("xdata list does not start with a 1001 application name");
    if (code < 1000 || code > 1071 || KvResKindOf(code) == KvResKind::kNone)
      return fail("item code " + std::to_string(code) + " is not an xdata code");
    tav::cad::DxfXItem item;
    item.code = code;
    switch (KvResKindOf(code)) {
      case KvResKind::kString:
        item.text = KvRbString(rb);
        if (!tav::IsValidUtf8(item.text)) return fail("xdata string is not valid UTF-8");
        if (code == 1002 && item.text != "{" && item.text != "}") return fail("1002 item must be \"{\" or \"}\"");
        break;
      case KvResKind::kPoint: item.point = {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]}; break;
      case KvResKind::kReal: item.real = rb->resval.rreal; break;
      case KvResKind::kShort: item.integer = rb->resval.rint; break;
      case KvResKind::kLong: item.integer = rb->resval.rlong; break;
      default: break;
    }
    chains.back().items.push_back(std::move(item));
  }
  return true;
}
