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
var Input1h = document.getElementById('INPUT1h');
if(Input1h) { vz = x[0].getAttribute('VALUE') == '0'; iz = Input1h.value == '0';
if(vz == iz) {
if(vz) {
Input1h.value = '1';
Input1.style.backgroundImage = 'url("IMAGES/OFF.PNG")';
if(Input1.getAttribute('value') != null) {
Input1.value = 'Off';
} else {
Input1.innerHTML = 'Off';
}
} else {
Input1h.value = '0';
Input1.style.backgroundImage = 'url("IMAGES/ON.PNG")';
if(Input1.getAttribute('value') != null) {
Input1.value = 'On';
} else {
Input1.innerHTML = 'On';
}
}}} else {
if(x[0].getAttribute('VALUE') == '0') {
SetBg('INPUT1', 'OFF.PNG');
Input1.innerHTML = 'Off';
} else {
SetBg('INPUT1', 'ON.PNG');
Input1.innerHTML = 'On';
}
}
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
var Input1 = document.getElementById('INPUT1h');
PostXML('PAGE1.XML', (Input1.name+'='+Input1.value+'&'));
}
function PostXML1() {
var Input1h = document.getElementById('INPUT1h');
PostXML('PAGE1.XML', encodeURIComponent(Input1h.name+'='+Input1h.value));
}
