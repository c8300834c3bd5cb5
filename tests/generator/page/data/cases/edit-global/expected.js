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
UpdateValue(Input2, x[1], 'transparent');}
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
if(InputEdited[1]) InputEdited[1] &= CheckValueLimits(Input1.value,0,'','0','100');
var Input2 = document.getElementById('INPUT2');
PostXML('PAGE1.XML', (InputEdited[1] ? encodeURIComponent(Input1.name)+'='+encodeURIComponent(Input1.value)+'&' : '')+(InputEdited[2] ? encodeURIComponent(Input2.name)+'='+encodeURIComponent(Input2.value)+'&' : ''));
InputEdited[1]=0;
InputEdited[2]=0;
}
