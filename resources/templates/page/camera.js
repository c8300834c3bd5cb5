IP-camera picture: the start of the reloading when the camera's hidden copy becomes visible.
@@ show
if(Input%%element%%.style.visibility!='visible'){Input%%element%%.style.visibility='visible';RefreshCam('ipcamimg%%camera%%','campic%%camera%%','%%href%%', %%refresh%%, '%%delimiter%%');};
