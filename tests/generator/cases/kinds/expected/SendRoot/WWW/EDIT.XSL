<?xml version="1.0" encoding="UTF-8" ?>
<!-- The built-in page template. Per page the compilers fill in the viewport
     and author meta elements, keep the head's first script only for web
     applications, put the page's scripts after title, set the tests of the
     body's two xsl:if elements to the page's change stamp (the first shows the
     cache warning to a browser that holds an old copy, the second the page),
     and fill the cells that follow the comments logo, title, menu, plan and
     bottom. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
	<xsl:output method="html" encoding="UTF-8" indent="no" />
	<xsl:template match="/PAGE">
		<html>
			<head>
				<meta name="viewport" content="width=device-width" />
				<meta name="author" content="Tarnwell" />
				<link rel="stylesheet" type="text/css" href="STYLE.CSS" />
				<link rel="icon" type="image/x-icon" href="FAVICON.ICO" />
				<script type="text/javascript" src="REFCLR.JS" charset="utf-8"></script>
				<title>
					<xsl:value-of select="/PAGE/@TITLE" />
				Edit</title>
				<script src="EDIT.JS?U=1700000000" language="JavaScript" charset="utf-8" />
			</head>
			<body onload="GetXML('EDIT.XML'); FunWatchDog();">
				<xsl:if test="1700000000 != ACCESS/@UCID">
					<div id="cachewarning" class="cachewarning">&#160;</div>
				</xsl:if>
				<xsl:if test="1700000000 = ACCESS/@UCID">
					<table class="layout" cellspacing="0" cellpadding="0">
						<tr class="top">
							<!--logo-->
							<td class="logo">
								<div id="top_left_div" style="width: 150px;"></div>
							&#160;</td>
							<!--title-->
							<td class="title">
								<h1>
									<xsl:value-of select="/PAGE/@TITLE" />
								Edit</h1>
							</td>
						</tr>
						<tr class="main">
							<!--menu-->
							<td id="menu">
								<span id="group">Kinds</span>
								<br />
								<div class="pages">
									<a href="LABEL.XML">Label</a>
									<br />
									<a href="BLOCK.XML">Block</a>
									<br />
									<a href="PICTURE.XML">Picture</a>
									<br />
									<a href="FRAME.XML">Frame</a>
									<br />
									<a href="CAMERA.XML">Camera</a>
									<br />
									<a href="STRIMG.XML">String picture</a>
									<br />
									<a href="EDIT.XML">Edit</a>
									<br />
									<a href="DROPDOWN.XML">Drop-down</a>
									<br />
									<a href="SUBMIT.XML">Submit</a>
									<br />
									<a href="UPLOAD.XML">Upload</a>
									<br />
									<a href="IMAGE.XML">Image</a>
									<br />
									<a href="IMAGEBTN.XML">Image button</a>
									<br />
									<a href="MULIMG.XML">Multi-state image</a>
									<br />
									<a href="CANVAS.XML">Canvas</a>
									<br />
								</div>
								<br />
								<div class="pages">
									<a href="logout.xml">Logout</a>
								</div>
							</td>
							<!--plan-->
							<td class="plan">
								<div style="background-color:#FFFFFF; position: relative; width: 800px; height: 500px;">
									<form action="javascript:PostGlobal();">
										<input title="Set point &lt;0..100&gt; &amp; more" class="mono" tabindex="1" type="text" id="INPUT1" style="position: absolute; top: 8px; left: 8px; width: 40px; z-index: 1; background: none; text-align: right;" value="{INPUT[1]/@VALUE}" name="{INPUT[1]/@NAME}" onfocus="SetInputEdited(1, event);" onblur="InputFocused[1]=0" onkeydown="SetInputEdited(1, event);" />
										<input title="Level" class="mono" type="text" id="INPUT3" style="position: absolute; top: 232px; left: 8px; width: 24px; z-index: 3; background: none; text-align: right;" value="{ACCESS/@USER_LEVEL}" readonly="readonly" />
										<input class="mono" type="text" size="3" style="position: absolute; top: 472px; left: 8px; z-index: 4; border: solid red 2px; text-align: right;" value="? ? ?" readonly="readonly" />
									</form>
									<form action="javascript:PostXML2()" style="position: absolute; top: 8px; left: 472px; z-index: 2; font-size: 13px;">
										<xsl:if test="2 &lt;= ACCESS/@USER_LEVEL">
											<input id="INPUT2" onfocus="document.getElementById('INPUT2x').style.visibility='visible';SetInputEdited(2, event);" onblur="InputFocused[2]=0" onkeydown="SetInputEdited(2, event);" class="mono" tabindex="2" type="text" style="width: 80px; background-color: #FFFFFF;" name="{INPUT[2]/@NAME}" value="{INPUT[2]/@VALUE}" />
											<input type="submit" style="position: absolute; top: 0px; height: 21px; width: 21px; visibility: hidden;" id="INPUT2x" value="&gt;" />
										</xsl:if>
										<xsl:if test="2 &gt; ACCESS/@USER_LEVEL">
											<input class="mono" tabindex="2" type="text" id="INPUT2" style="width: 80px; background-color: #FFFFFF;" value="{INPUT[2]/@VALUE}" readonly="readonly" />
										</xsl:if>
									</form>
								</div>
							</td>
						</tr>
						<!--bottom-->
						<tr class="bottom">
							<td class="foot" colspan="2">&#160;</td>
						</tr>
					</table>
				</xsl:if>
			</body>
		</html>
	</xsl:template>
</xsl:stylesheet>
