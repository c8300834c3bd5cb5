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
				Image</title>
				<script src="IMAGE.JS?U=1700000000" language="JavaScript" charset="utf-8" />
			</head>
			<body onload="GetXML('IMAGE.XML'); FunWatchDog();">
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
								Image</h1>
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
										<xsl:if test="INPUT[1]/@VALUE = 0">
											<input id="INPUT3h" type="hidden" name="{INPUT[1]/@NAME}" value="1" />
											<div id="INPUT3" class="imgsub" onclick="PostXML3()" style="position: absolute; top: 8px; left: 632px; z-index: 3; background-image: url(IMAGES/door_shut.png); line-height: 16px; height: 16px; width: 16px;"></div>
										</xsl:if>
										<xsl:if test="INPUT[1]/@VALUE != 0">
											<input id="INPUT3h" type="hidden" name="{INPUT[1]/@NAME}" value="0" />
											<div id="INPUT3" class="imgsub" onclick="PostXML3()" style="position: absolute; top: 8px; left: 632px; z-index: 3;"></div>
										</xsl:if>
									</form>
									<form style="position: absolute; top: 8px; left: 8px; z-index: 1;">
										<xsl:if test="INPUT[1]/@VALUE = 0">
											<input id="INPUT1h" type="hidden" name="{INPUT[1]/@NAME}" value="1" />
											<div title="Door" id="INPUT1" class="imgsub" onclick="PostXML1()" style="background-image: url(IMAGES/door_shut.png); line-height: 16px; height: 16px; width: 16px;">Closed</div>
										</xsl:if>
										<xsl:if test="INPUT[1]/@VALUE != 0">
											<input id="INPUT1h" type="hidden" name="{INPUT[1]/@NAME}" value="0" />
											<div title="Door" id="INPUT1" class="imgsub" onclick="PostXML1()" style="background-image: url(IMAGES/door_open.png); line-height: 16px; height: 16px; width: 16px;">Open</div>
										</xsl:if>
									</form>
									<xsl:if test="INPUT[1]/@VALUE = 0">
										<div id="INPUT2" style="position: absolute; top: 8px; left: 312px; z-index: 2; background-image: url(IMAGES/lamp_red.png); line-height: 16px; height: 16px; width: 16px;">
											<a title="Pump" href="LABEL.XML" class="ablock">Off</a>
										</div>
									</xsl:if>
									<xsl:if test="INPUT[1]/@VALUE != 0">
										<div id="INPUT2" style="position: absolute; top: 8px; left: 312px; z-index: 2; background-image: url(IMAGES/lamp_green.png); line-height: 16px; height: 16px; width: 16px;">
											<a title="Pump" href="LABEL.XML" class="ablock"></a>
										</div>
									</xsl:if>
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
