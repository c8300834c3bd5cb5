function ArrayToText(e,t) {
var m=[8364,65533,8218,65533,8222,8230,8224,8225,65533,8240,352,8249,346,356,381,377,65533,8216,8217,8220,8221,8226,8211,8212,65533,8482,353,8250,347,357,382,378,160,711,728,321,164,260,166,167,168,169,350,171,172,173,174,379,176,177,731,322,180,181,182,183,184,261,351,187,317,733,318,380,340,193,194,258,196,313,262,199,268,201,280,203,282,205,206,270,272,323,327,211,212,336,214,215,344,366,218,368,220,221,354,223,341,225,226,259,228,314,263,231,269,233,281,235,283,237,238,271,273,324,328,243,244,337,246,247,345,367,250,369,252,253,355,729];
var n=e[t],s='';
for(var i=1;i<=n;i++) {var c=e[t+i];s+=String.fromCharCode(c<128||c-128>=m.length?c:m[c-128]);}
return s;
}
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
function onResponse() {
var pd = '';
try {
gWatchDog++;
if(!xmlhttpGET) return;
if(xmlhttpGET.readyState != 4) return;
if(!xmlhttpGET.status) return;
if(xmlhttpGET.status != 200){
alert('Problem retrieving XML data ' + xmlhttpGET.statusText + '(' + xmlhttpGET.status + ')');
document.location.reload(true)
return;}
var access = xmlhttpGET.responseXML.documentElement.getElementsByTagName('ACCESS')[0]; if(!access || access.getAttribute('UCID') != 1700000000) {document.location.reload(true); return;}
var x=xmlhttpGET.responseXML.documentElement.getElementsByTagName('INPUT');
var d=xmlhttpGET.responseXML.documentElement.getElementsByTagName('DATA');
if(x[0]&&d[0]) {
var Input1 = document.getElementById('INPUT1');
ProcessCanvas(Input1, d[0],0);
if((gLCI[0]!=gCI[0].i)||ChckLt(gCI[0])){
pd+=PostCanvas(pd.length>0,gCI[0],'','','');
gLCI[0]=gCI[0].i;
if(gCI[0].i.e==1)gCI[0].i=NullCI();}
var Input2 = document.getElementById('INPUT2');
ProcessCanvas(Input2, d[0],1);
if((gLCI[1]!=gCI[1].i)||ChckLt(gCI[1])){
pd+=PostCanvas(pd.length>0,gCI[1],'','','');
gLCI[1]=gCI[1].i;
if(gCI[1].i.e==1)gCI[1].i=NullCI();}
} else {document.location.reload(true); return;}
} catch(err) {console.log(err.message)}
if(pd!=''){setTimeout("GetXML('PAGE1.XML','"+pd+"')",1);}else{setTimeout("GetXML('PAGE1.XML')",500);}}
function FunWatchDog() {
if(gWatchDog > 0 || g_postInProgress) {
gWatchDog = 0;
} else {
document.location.reload(true);
}
setTimeout("FunWatchDog()", 10000);
}


function PostGlobal() {
}
function gcImg(s) {var a=['VALVE.PNG','PUMP.PNG'],b=['VALVE.PNG','PUMP_1.PNG'];var i=a.indexOf(String(s).toUpperCase());if(i<0) return null;if(!gcImg.c) gcImg.c={};if(!gcImg.c[a[i]]) {gcImg.c[a[i]]=new Image();gcImg.c[a[i]].src='IMAGES/'+b[i];}return gcImg.c[a[i]];}
