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
if(!InputEdited[1]) {
UpdateValue(Input1, x[0], '#FFFFFF');}
var Input2 = document.getElementById('INPUT2');
if(!InputEdited[2]) {
UpdateValue(Input2, x[1], '#FFFFFF');}
var Input3 = document.getElementById('INPUT3');
if(!InputEdited[3]) {
UpdateValue(Input3, x[2], '#FFFFFF');}
var Input4 = document.getElementById('INPUT4');
if(x[3].getAttribute('VALUE') == 0) {
Input4.style.visibility = 'hidden';
} else {
Input4.style.visibility = 'visible';
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
var Input1 = document.getElementById('INPUT1');
var Input2 = document.getElementById('INPUT2');
PostXML('PAGE1.XML', (InputEdited[1] ? encodeURIComponent(Input1.name)+'='+encodeURIComponent(Input1.value)+'&' : '')+(InputEdited[2] ? encodeURIComponent(Input2.name)+'='+encodeURIComponent(Input2.value)+'&' : ''));
InputEdited[1]=0;
InputEdited[2]=0;
}
function PostXML3() {
var Input3 = document.getElementById('INPUT3');
document.getElementById('INPUT3x').style.visibility = 'hidden';
if(InputEdited[3]) {
PostXML('PAGE1.XML', encodeURIComponent(Input3.name+'='+Input3.value)); InputEdited[3] = 0;
}
}
