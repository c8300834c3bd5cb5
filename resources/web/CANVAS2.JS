// Drawing canvas: the pointer and touch events of canvases that return their
// touches, and what the next answer posts (generator/CanvasBuffer.md).
var gCvRepeat = 1000;
// The state without a touch.
function NullCI() { return { x: -1, y: -1, c: 0, e: -1 }; }
// Records the event of canvas i: p 1 pressed, 2 released or left, else moved.
function GetCI(ev, i, p) {
var st = CvState(i), el = ev.currentTarget || ev.target;
if (!el || !el.getBoundingClientRect) return;
var t = ev.changedTouches && ev.changedTouches.length ? ev.changedTouches[0] : ev;
if (p == 1) st.p = true;
else if (!st.p) return;
if (ev.preventDefault) ev.preventDefault();
var rc = el.getBoundingClientRect();
var x = Math.round(t.clientX - rc.left), y = Math.round(t.clientY - rc.top), c = 0;
try {
var px = el.getContext('2d').getImageData(x, y, 1, 1).data;
c = (px[0] << 16) | (px[1] << 8) | px[2];
} catch (err) { c = 0; }
if (p == 2) st.p = false;
st.i = { x: x, y: y, c: c, e: p == 1 ? 1 : p == 2 ? 2 : 0 };
}
// True when the pointer of st stays pressed and its position is due again.
function ChckLt(st) {
if (!st || !st.p) return false;
var now = Date.now();
if (now - st.t < gCvRepeat) return false;
st.t = now;
return true;
}
// The pairs to post for the state st: the identifiers of x, y and colour
// ("" for the ones not returned); more puts "&" in front.
function PostCanvas(more, st, nx, ny, nc) {
var ci = st && st.i ? st.i : NullCI(), parts = [];
if (st) st.t = Date.now();
if (nx) parts.push(encodeURIComponent(nx + '=' + ci.x));
if (ny) parts.push(encodeURIComponent(ny + '=' + ci.y));
if (nc) parts.push(encodeURIComponent(nc + '=' + ci.c));
if (!parts.length) return '';
return (more ? '&' : '') + parts.join('&');
}
