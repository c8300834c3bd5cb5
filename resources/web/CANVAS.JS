// Drawing canvas: draws the buffer that the PLC program fills, received as
// the hexadecimal VALUE of the canvas's DATA entry (generator/CanvasBuffer.md).
// A buffer that does not hold valid commands leaves the canvas blank.
var gCvMark = 0xC5, gCvVersion = 1, gCvHead = 4;
function CvState(i) {
if (!gCI[i]) gCI[i] = { i: NullCI(), v: null, t: 0, p: false };
return gCI[i];
}
function CvBytes(h) {
if (typeof h != 'string' || h.length % 2 != 0 || /[^0-9A-Fa-f]/.test(h)) return null;
var b = [];
for (var k = 0; k < h.length; k += 2) b.push(parseInt(h.substr(k, 2), 16));
return b;
}
function CvReader(b, end) {
var r = { b: b, p: gCvHead, end: end, ok: true };
r.u8 = function() { if (r.p + 1 > r.end) { r.ok = false; return 0; } return r.b[r.p++]; };
r.i16 = function() { var v = r.u8() | (r.u8() << 8); return v & 0x8000 ? v - 0x10000 : v; };
r.rgb = function() { var c = (r.u8() << 16) | (r.u8() << 8) | r.u8(); return '#' + ('000000' + c.toString(16)).slice(-6); };
r.text = function(code) {
var n = r.u8(), s = '';
if (!r.ok || r.p + n > r.end) { r.ok = false; return ''; }
if (code && typeof ArrayToText == 'function') s = ArrayToText(r.b, r.p - 1);
else if (code && typeof Utf8ArrayToStr == 'function') s = Utf8ArrayToStr(r.b, r.p, r.p + n);
else for (var k = 0; k < n; k++) s += String.fromCharCode(r.b[r.p + k]);
r.p += n;
return s;
};
return r;
}
// The commands of the buffer as functions of the drawing context; null when
// the buffer is not valid.
function CvCommands(b) {
if (!b || b.length < gCvHead || b[0] != gCvMark || b[1] != gCvVersion) return null;
var end = gCvHead + (b[2] | (b[3] << 8));
if (end > b.length) return null;
var r = CvReader(b, end), list = [];
while (r.p < end) {
var code = r.u8(), c = CvCommand(code, r);
if (code == 0) break;
if (!c || !r.ok) return null;
list.push(c);
}
return list;
}
function CvCommand(code, r) {
var x, y, w, h, x2, y2, n, col, s, f;
switch (code) {
case 0: return null;
case 1: col = r.rgb(); return function(g, el) { g.fillStyle = col; g.fillRect(0, 0, el.width, el.height); };
case 2: x = r.i16(); y = r.i16(); w = r.i16(); h = r.i16(); col = r.rgb();
return function(g) { g.fillStyle = col; g.fillRect(x, y, w, h); };
case 3: x = r.i16(); y = r.i16(); x2 = r.i16(); y2 = r.i16(); n = r.u8(); col = r.rgb();
return function(g) { g.strokeStyle = col; g.lineWidth = n; g.beginPath(); g.moveTo(x, y); g.lineTo(x2, y2); g.stroke(); };
case 4: x = r.i16(); y = r.i16(); n = r.u8(); col = r.rgb(); s = r.text(true);
return function(g) { g.fillStyle = col; g.font = n + 'px sans-serif'; g.fillText(s, x, y); };
case 5: x = r.i16(); y = r.i16(); s = r.text(false);
return function(g) {
var m = typeof gcImg == 'function' ? gcImg(s) : null;
if (m && !m.complete) return m;
if (m && m.naturalWidth) g.drawImage(m, x, y);
return null;
};
case 6: x = r.i16(); y = r.i16(); w = r.i16(); f = r.u8(); col = r.rgb();
return function(g) { g.beginPath(); g.arc(x, y, w, 0, 2 * Math.PI); if (f) { g.fillStyle = col; g.fill(); } else { g.strokeStyle = col; g.stroke(); } };
}
r.ok = false;
return null;
}
// Draws the canvas el from the DATA entry d when its value changed; i is the
// canvas's index in gCI and gLCI. A picture still loading is skipped and the
// canvas drawn again when it has loaded (unless a later value was drawn whole
// meanwhile); a picture that cannot load stays skipped.
function ProcessCanvas(el, d, i) {
var st = CvState(i);
if (!el || !el.getContext) return;
var v = d && d.getAttribute ? d.getAttribute('VALUE') : null;
if (v === st.v) return;
st.v = v;
var g = el.getContext('2d');
if (!g) return;
var list = CvCommands(CvBytes(v));
g.clearRect(0, 0, el.width, el.height);
if (!list) return;
var loading = [];
for (var k = 0; k < list.length; k++) {
var m = list[k](g, el);
if (m) loading.push(m);
}
if (!loading.length) return;
st.v = null;
var again = function() { if (st.v === null) ProcessCanvas(el, d, i); };
for (var k = 0; k < loading.length; k++) loading[k].addEventListener('load', again, { once: true });
}
