var xmlhttpGET, xmlhttpPOST, gNewLoc = '';
var g_postInProgress = 0, UpdateFileSubmit = null;
var InputEdited = [], InputFocused = [], gCI = [], gLCI = [], gIC = 0, gWatchDog = 0, gTemp = '';
// The element number of the submit button last pressed (0: none), whose own
// value PostGlobal adds to the page's fields.
var gSubmit = 0;
function RefreshCam(ipcamimg, elementid, url, t, d) {
var p = window[ipcamimg], el = document.getElementById(elementid);
if (!p || !el) return;
el.src = p.src;
var g = el.parentNode ? el.parentNode.parentNode : null;
if (g && g.style && g.style.visibility == 'hidden') return;
setTimeout(function() { p.src = url + d + Math.random(); }, t);
}
function SetBg(name, imag) {
var el = document.getElementById(name);
if (!el) return;
var v = imag == '' ? 'none' : 'url("IMAGES/' + imag + '")';
if (el.style.backgroundImage != v) el.style.backgroundImage = v;
}
function SetCond(obj, val) { if (obj && obj.innerHTML != val) obj.innerHTML = val; }
// The colour of a value-driven rectangle: a number, or the value text of the
// data page, where the PLC's web server writes colour words (DWORD and the
// other bit strings) in hexadecimal.
function GetColor(val) {
var c = (typeof val == 'number' ? val : parseInt(val, 16)) & 0xFFFFFF;
c = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
return '#' + ('000000' + c.toString(16)).slice(-6);
}
// Milliseconds since 1970 (UTC) of the value a read by the time format e:
// runs of the letters Y, M, D, h, m, s and z take the digits at their place,
// all of them when a separator follows the run, as many as the run is long
// when another letter follows it; z keeps the first three digits (".5" is
// 500 ms); a year of one or two digits lies in 2000-2099; a leading "-"
// negates the time parts. The format's leading "T" (or "%T") marks it as a
// time format and is not a character of the value.
function GetDateByFormat(e, a) {
var p = { Y: 1970, M: 1, D: 1, h: 0, m: 0, s: 0, z: 0 }, neg = false, i = 0, j = 0;
e = String(e).replace(/^%?T/, '');
a = String(a);
if (a.charAt(0) == '-') { neg = true; a = a.substring(1); }
while (i < e.length && j < a.length) {
var k = e.charAt(i);
if (!p.hasOwnProperty(k)) { i++; j++; continue; }
var n = '', run = 0;
while (i < e.length && e.charAt(i) == k) { i++; run++; }
var most = p.hasOwnProperty(e.charAt(i)) ? run : a.length;
while (j < a.length && n.length < most && a.charAt(j) >= '0' && a.charAt(j) <= '9') n += a.charAt(j++);
if (k == 'z') n = (n + '00').substring(0, 3);
p[k] = parseInt(n, 10) || 0;
if (k == 'Y' && n.length <= 2) p.Y += 2000;
}
var t = ((p.h * 60 + p.m) * 60 + p.s) * 1000 + p.z;
if (neg) t = -t;
var d = new Date(0);
d.setUTCFullYear(p.Y, p.M - 1, p.D);
return d.getTime() + t;
}
// Whether mmin <= value <= mmax, all three read by the type: 0 a decimal
// number, 1 a hexadecimal integer, 2 a time by the format. An empty limit
// leaves its side open; a value that is no number of its type is refused.
function ValueWithinLimits(value, type, format, mmin, mmax) {
var f = type == 1 ? function(v) { return parseInt(v, 16); } :
type == 2 ? function(v) { return GetDateByFormat(format, v); } : Number;
var v = String(value).replace(/^\s+|\s+$/g, '');
if (v == '' || (type == 1 && !/^[-+]?(0[xX])?[0-9A-Fa-f]+$/.test(v)) || (type == 2 && !/[0-9]/.test(v))) return false;
v = f(v);
if (isNaN(v)) return false;
if (String(mmin) != '' && v < f(mmin)) return false;
if (String(mmax) != '' && v > f(mmax)) return false;
return true;
}
// The limit check of a typed value before it is posted: a refused value is
// not posted, and the user is told why, so that it does not just vanish
// when the next answer shows the PLC's value again.
function CheckValueLimits(value, type, format, mmin, mmax) {
if (ValueWithinLimits(value, type, format, mmin, mmax)) return true;
alert('The value ' + value + ' is not within ' + mmin + ' .. ' + mmax + '; it was not sent.');
return false;
}
function GetXML(e, t) {
xmlhttpGET = window.XMLHttpRequest ? new XMLHttpRequest() : null;
if (!xmlhttpGET) { alert('Your browser does not support XMLHTTP.'); return; }
xmlhttpGET.onreadystatechange = onResponse;
if (t) {
xmlhttpGET.open('POST', e, true);
xmlhttpGET.setRequestHeader('Content-Type', 'application/x-www-form-urlencoded');
} else xmlhttpGET.open('GET', e, true);
xmlhttpGET.setRequestHeader('x-daltrex', 'data');
xmlhttpGET.send(t ? t : null);
}
// Posts the form body t to e; after a successful answer the browser goes to
// l when given. Each request keeps its own destination, and
// g_postInProgress counts the posts still waiting for their answer, so that
// a second post sent before the first one's answer loses neither.
function PostXML(e, t, l) {
xmlhttpPOST = window.XMLHttpRequest ? new XMLHttpRequest() : null;
if (!xmlhttpPOST) { alert('Your browser does not support XMLHTTP.'); return; }
gNewLoc = l ? l : '';
xmlhttpPOST.newLoc = gNewLoc;
g_postInProgress++;
xmlhttpPOST.onreadystatechange = onPostResponse;
xmlhttpPOST.open('POST', e, true);
xmlhttpPOST.setRequestHeader('Content-Type', 'application/x-www-form-urlencoded');
xmlhttpPOST.send(t);
}
function TUpdateFileSubmit(div, name, size) {
var s = ['|', '/', '-', '\\'], n = 0;
this.tick = function() {
div.innerHTML = name + ' ' + s[n++ % 4] + ' ' + size;
UpdateFileSubmit = setTimeout(this.tick.bind(this), 500);
};
}
function postFileSubmit(sourceForm, colour, warning) {
if (warning && !confirm(warning)) return;
var div = sourceForm.getElementsByTagName('div')[0], f = sourceForm.elements[0].files;
var file = f && f[0] ? f[0] : { name: '', size: 0 };
g_postInProgress = 1;
if (div) {
div.style.display = 'block';
div.style.color = colour;
new TUpdateFileSubmit(div, file.name, file.size).tick();
}
sourceForm.submit();
}
// Handler of the input INPUT<i> for its focus, key and change events: the
// focus marks it focused; Tab (9), 11, Shift (16) and Ctrl (17) change
// nothing else; Esc (27) drops the edit; any other key, and a change of a
// list, marks it edited (so that the next answer leaves it alone and the
// post sends it) and colours it red.
function SetInputEdited(i, e) {
var el = document.getElementById('INPUT' + i), k = e ? e.keyCode : 0;
InputFocused[i] = 1;
if (!e || e.type == 'focus' || k == 9 || k == 11 || k == 16 || k == 17) return;
if (k == 27) { InputEdited[i] = 0; return; }
InputEdited[i] = 1;
if (el) el.style.backgroundColor = '#FF0000';
}
// Copies the answer's value and the colour into the input, each only when it
// differs. Browsers answer a colour set as "#RRGGBB" as "rgb(r, g, b)", so
// both are compared in that form.
function UpdateValue(input, x, color) {
function rgb(c) {
var h = /^#([0-9a-f]{2})([0-9a-f]{2})([0-9a-f]{2})$/i.exec(c);
return h ? 'rgb(' + parseInt(h[1], 16) + ',' + parseInt(h[2], 16) + ',' + parseInt(h[3], 16) + ')' :
String(c).replace(/\s+/g, '').toLowerCase();
}
var v = x.getAttribute('VALUE');
if (input.value != v) input.value = v;
if (rgb(input.style.backgroundColor) != rgb(color)) input.style.backgroundColor = color;
}
// The answer of a post: the request is the handler's own (this), or the
// last post's when called without one.
function onPostResponse() {
var r = this && this.readyState !== undefined ? this : xmlhttpPOST;
if (!r || r.readyState != 4) return;
if (g_postInProgress > 0) g_postInProgress--;
if (r.status != 200) {
alert('Problem posting XML data ' + r.statusText + '(' + r.status + ')');
return;
}
gNewLoc = r.newLoc !== undefined ? r.newLoc : gNewLoc;
if (gNewLoc) document.location.href = gNewLoc;
}
function msetref() {
if (typeof(Storage) === 'undefined') return;
var c = sessionStorage.getItem('__crpg');
if (c != document.location.href) {
sessionStorage.setItem('__prpg', c);
sessionStorage.setItem('__crpg', document.location.href);
}
}
window.addEventListener('load', msetref);
function BackToReferrer(){
if(typeof(Storage)!=='undefined'){var r = sessionStorage.getItem('__prpg').toLowerCase();if(r=='null'||r==document.location.href.toLowerCase()||r.search('login.xml')!=-1||r.search('logout.xml')!=-1) {
document.location.href='INDEX.XML';
}else{document.location.href=sessionStorage.getItem('__prpg');}}else{document.location.href='INDEX.XML';
}}
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
if(x[0]) {
var Input1 = document.getElementById('INPUT1');
if(Input1) {Input1.style.width = Math.max(0,eval(x[0].getAttribute('VALUE'))-2)+'px';
Input1.style.left = eval(126 - Math.max(0,eval(x[0].getAttribute('VALUE'))-2))+'px';}
} else {document.location.reload(true); return;}
} catch(err) {console.log(err.message)}
if(pd!=''){setTimeout("GetXML('BLOCK.XML','"+pd+"')",1);}else{setTimeout("GetXML('BLOCK.XML')",1000);}}
function FunWatchDog() {
if(gWatchDog > 0 || g_postInProgress) {
gWatchDog = 0;
} else {
document.location.reload(true);
}
setTimeout("FunWatchDog()", 20000);
}


function PostGlobal() {
}
