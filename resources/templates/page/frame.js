The page script around the objects: the answer handler's beginning (the
project compiler closes it), the visibility switch of an object, the alarm
jumps, PostGlobal, the picture cache of canvas pages, the orientation and
text-conversion support.

The handler declares pd before try: an answer that is not XML throws before
the answer is read, and the request after catch must then be the plain one.
@@ answer-begin
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
var access = xmlhttpGET.responseXML.documentElement.getElementsByTagName('ACCESS')[0]; if(!access || access.getAttribute('UCID') != %%ucid%%) {document.location.reload(true); return;}
var x=xmlhttpGET.responseXML.documentElement.getElementsByTagName('INPUT');
@@ answer-values
if(x[0]) {
@@ answer-canvas-values
var d=xmlhttpGET.responseXML.documentElement.getElementsByTagName('DATA');
if(x[0]&&d[0]) {
@@ answer-orientation
pd=PostOrientation('%%alpha%%','%%beta%%','%%gamma%%');
@@ declare
var Input%%element%% = document.getElementById('INPUT%%element%%');
@@ declare-submit
var Input%%element%%x = document.getElementById('INPUT%%element%%x');
@@ visibility
if(x[%%index%%].getAttribute('VALUE') %%compare%% %%value%%) {
%%hide%%} else {
%%show%%}
@@ hide-visibility
Input%%element%%.style.visibility = 'hidden';
@@ hide-display
Input%%element%%.style.display = 'none';
@@ hide-submit
if(Input%%element%%x) Input%%element%%x.style.visibility = 'hidden';
Input%%element%%.style.display = 'none';
@@ show-visibility
Input%%element%%.style.visibility = 'visible';
@@ show-block
Input%%element%%.style.display = 'block';
@@ show-inline
Input%%element%%.style.display = 'inline';
@@ alarm-page-begin
if(
@@ alarm-higher
(x[%%index%%].getAttribute('VALUE') != '0')%%join%%\
@@ alarm-own
(x[%%index%%].getAttribute('VALUE') == '0'))
{BackToReferrer();}
@@ alarm-jump
%%else%%if(x[%%index%%].getAttribute('VALUE') != '0') document.location.href='%%page%%';
@@ post-global-begin

function PostGlobal() {
@@ post-global-field
var Input%%element%% = document.getElementById('INPUT%%id%%');
%%limit%%\
@@ post-global-call
PostXML('%%page%%', %%terms%%);
@@ post-global-edited
InputEdited[%%element%%]=0;
@@ post-global-pressed
gSubmit = 0;
@@ post-global-end
}
@@ image-cache
function gcImg(s) {var a=['%%names%%'],b=['%%files%%'];var i=a.indexOf(String(s).toUpperCase());if(i<0) return null;if(!gcImg.c) gcImg.c={};if(!gcImg.c[a[i]]) {gcImg.c[a[i]]=new Image();gcImg.c[a[i]].src='IMAGES/'+b[i];}return gcImg.c[a[i]];}
@@ orientation
var gDOD = null;
window.addEventListener('deviceorientation', function(e) {gDOD = e;});
function PostOrientation(a, b, c) {
if(!gDOD) return '';
var n = [a, b, c], v = [gDOD.alpha, gDOD.beta, gDOD.gamma], r = [];
for(var i = 0; i < 3; i++) {if(n[i] != '') r.push(encodeURIComponent(n[i]) + '=' + encodeURIComponent(Number(v[i]).toFixed(1)));}
return r.join('&');
}
@@ array-to-text
function ArrayToText(e,t) {
var m=[%%table%%];
var n=e[t],s='';
for(var i=1;i<=n;i++) {var c=e[t+i];s+=String.fromCharCode(c<128||c-128>=m.length?c:m[c-128]);}
return s;
}
@@ utf8-array-to-str
function Utf8ArrayToStr(r,t,n) {
var s='',i=t;
while(i<n) {
var c=r[i++];
if(c<128) {s+=String.fromCharCode(c);}
else if(c<224) {s+=String.fromCharCode(((c&31)<<6)|(r[i++]&63));}
else {var c2=r[i++],c3=r[i++];s+=String.fromCharCode(((c&15)<<12)|((c2&63)<<6)|(c3&63));}
}
return s;
}
