// Search over the register reference: register, field and instance names, and addresses (an
// address finds the instance and the register, entry or element that holds it). The data
// comes from the search-data-N.js scripts, which call ksx_search_add.
var KSX = { classes: [], insts: [] };

function ksx_search_add(items) {
  for (var i = 0; i < items.length; i++) {
    if (items[i][0] === "c") KSX.classes.push(items[i][1]); else KSX.insts.push(items[i][1]);
  }
}

function ksx_hex(v) { return "0x" + v.toString(16); }

// " (inst: address, ...)": where a register of class c sits in its first instances.
function ksx_where(c, offset) {
  if (!KSX.byClass) {
    KSX.byClass = {};
    for (var i = 0; i < KSX.insts.length; i++) (KSX.byClass[KSX.insts[i][3]] = KSX.byClass[KSX.insts[i][3]] || []).push(KSX.insts[i]);
  }
  var list = KSX.byClass[c] || [], parts = [];
  for (var k = 0; k < list.length && k < 4; k++) parts.push(list[k][0] + ": " + ksx_hex(BigInt(list[k][1]) + BigInt(offset)));
  if (list.length > 4) parts.push("and " + (list.length - 4) + " more");
  return parts.length ? " (" + parts.join(", ") + ")" : "";
}

function ksx_parse_address(q) {
  if (/^0x[0-9a-f]+$/i.test(q)) return BigInt(q);
  if (/^[0-9]+$/.test(q)) return BigInt(q);
  return null;
}

// The innermost instance whose window holds the address, and the register holding it.
function ksx_decode(addr) {
  var best = null;
  for (var i = 0; i < KSX.insts.length; i++) {
    var it = KSX.insts[i], base = BigInt(it[1]), size = BigInt(it[2]);
    if (addr >= base && addr < base + size && (best === null || base >= BigInt(best[1]))) best = it;
  }
  if (best === null) return [];
  var cls = KSX.classes[best[3]], off = addr - BigInt(best[1]);
  for (var r = 0; r < cls[2].length; r++) {
    var reg = cls[2][r], start = BigInt(reg[1]), bs = BigInt(reg[2]), n = BigInt(reg[3]);
    if (off >= start && off < start + bs * n) {
      var idx = (off - start) / bs;
      var name = best[0] + "." + reg[0] + (n > 1n ? "[" + idx + "]" : "");
      return [{ text: name + " at " + ksx_hex(BigInt(best[1]) + start + idx * bs), href: cls[1] + "#" + reg[0],
                kind: "register" }];
    }
  }
  return [{ text: best[0] + " (no register at offset " + ksx_hex(off) + ")", href: best[4], kind: "instance" }];
}

function ksx_find(q) {
  var out = [], limit = 500;
  q = q.trim();
  if (q === "") return out;
  var addr = ksx_parse_address(q);
  if (addr !== null) out = ksx_decode(addr);
  var ql = q.toLowerCase();
  for (var i = 0; i < KSX.insts.length && out.length < limit; i++) {
    if (KSX.insts[i][0].toLowerCase().indexOf(ql) >= 0)
      out.push({ text: KSX.insts[i][0] + " at " + KSX.insts[i][1], href: KSX.insts[i][4], kind: "instance" });
  }
  for (var c = 0; c < KSX.classes.length && out.length < limit; c++) {
    var cls = KSX.classes[c];
    for (var r = 0; r < cls[2].length && out.length < limit; r++) {
      var reg = cls[2][r];
      if (reg[0].toLowerCase().indexOf(ql) >= 0) {
        out.push({ text: cls[0] + " " + reg[0] + " at +" + ksx_hex(reg[1]) + ksx_where(c, reg[1]), href: cls[1] + "#" + reg[0], kind: "register" });
      } else {
        var fields = reg[4].split(" ");
        for (var f = 0; f < fields.length; f++) {
          if (fields[f].toLowerCase().indexOf(ql) >= 0) {
            out.push({ text: cls[0] + " " + reg[0] + "." + fields[f], href: cls[1] + "#f." + reg[0], kind: "field" });
            break;
          }
        }
      }
    }
  }
  return out;
}

function ksx_show(q) {
  var list = document.getElementById("results"), found = ksx_find(q);
  list.innerHTML = "";
  for (var i = 0; i < found.length; i++) {
    var li = document.createElement("li"), a = document.createElement("a");
    li.className = found[i].kind;
    a.href = found[i].href;
    a.textContent = found[i].text;
    li.appendChild(a);
    list.appendChild(li);
  }
  document.getElementById("summary").textContent = q.trim() === "" ? "" : found.length + " found for " + q.trim();
}

function ksx_search_start() {
  var box = document.getElementById("q");
  var m = /[?&]q=([^&]*)/.exec(window.location.search);
  if (m) box.value = decodeURIComponent(m[1].replace(/\+/g, " "));
  box.addEventListener("input", function () { ksx_show(box.value); });
  ksx_show(box.value);
}
